// One placed item of a sheet (an EPS file or a one-line text) and the records it is made of.
#include "sheet/epsbox.h"

#include "support/winsub.h"

namespace zarvo {

long long CmToWholePoints(double Cm) {
    return RoundHalfEven(Cm * PtPerCm);
}

} // namespace zarvo
