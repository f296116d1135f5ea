// A pair of lengths in centimetres: paper size, standard box size and item geometry.
#pragma once

namespace zarvo {

// Width and height, or x and y.
struct TCmPair {
    double X = 0.0;
    double Y = 0.0;
    bool operator==(const TCmPair& O) const { return X == O.X && Y == O.Y; }
    bool operator!=(const TCmPair& O) const { return !(*this == O); }
};

} // namespace zarvo
