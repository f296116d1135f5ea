// The ordered item list of a sheet: painting and printing order, each item with its label.
#include "sheet/itemlist.h"

namespace zarvo {

int TItemList::Add(const std::string& Label, const TEPSBox& Box) {
    FEntries.push_back({Label, Box});
    return Count() - 1;
}

void TItemList::Delete(int I) {
    if (ValidIndex(I)) FEntries.erase(FEntries.begin() + I);
}

} // namespace zarvo
