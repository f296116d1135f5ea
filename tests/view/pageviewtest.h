// Sheet items the page preview tests build: a box or text of a kind, name, place and size.
#pragma once

#include "sheet/epsbox.h"

#include <cstdint>
#include <string>

namespace zarvotest {

inline zarvo::TEPSBox Box(std::uint8_t Kind, const std::string& Name, zarvo::TCmPair Origin,
                          zarvo::TCmPair Size) {
    zarvo::TEPSBox B(Size);
    B.Kind = Kind;
    B.Name = Name;
    B.Origin = Origin;
    return B;
}

} // namespace zarvotest
