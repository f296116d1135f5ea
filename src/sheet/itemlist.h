// The ordered item list of a sheet: painting and printing order, each item with its label.
#pragma once

#include "sheet/epsbox.h"

#include <string>
#include <vector>

namespace zarvo {

class TItemList {
public:
    int Count() const { return static_cast<int>(FEntries.size()); }
    bool Empty() const { return FEntries.empty(); }
    bool ValidIndex(int I) const { return I >= 0 && I < Count(); }

    TEPSBox& Item(int I) { return FEntries.at(static_cast<std::size_t>(I)).Box; }
    const TEPSBox& Item(int I) const { return FEntries.at(static_cast<std::size_t>(I)).Box; }
    const std::string& Label(int I) const { return FEntries.at(static_cast<std::size_t>(I)).Label; }

    // Appends an item and returns its index.
    int Add(const std::string& Label, const TEPSBox& Box);
    void Delete(int I);
    void Clear() { FEntries.clear(); }

private:
    struct TEntry {
        std::string Label;
        TEPSBox Box;
    };
    std::vector<TEntry> FEntries;
};

} // namespace zarvo
