// The sixteen fixed colours of the plot engine.
#include "plot/plotcolors.h"

namespace zarvo {

namespace {
const TColor PlotColors[PlotColorCount] = {
    RGBColor(0, 0, 0),       // black
    RGBColor(0, 0, 204),     // blue
    RGBColor(0, 178, 0),     // green
    RGBColor(0, 128, 128),   // teal
    RGBColor(255, 0, 0),     // red
    RGBColor(196, 0, 196),   // magenta
    RGBColor(128, 64, 0),    // brown
    RGBColor(128, 128, 128), // grey
    RGBColor(192, 192, 192), // light grey
    RGBColor(117, 117, 255), // light blue
    RGBColor(0, 255, 0),     // light green
    RGBColor(0, 255, 255),   // cyan
    RGBColor(255, 128, 0),   // orange
    RGBColor(255, 128, 255), // pink
    RGBColor(255, 255, 0),   // yellow
    RGBColor(255, 255, 255), // white
};
} // namespace

TColor PlotColor(int Index) {
    if (Index < 0) Index = 0;
    if (Index >= PlotColorCount) Index = PlotColorCount - 1;
    return PlotColors[Index];
}

} // namespace zarvo
