// The plot engine's axis transforms and scales: axis line, tick marks, grid lines and labels.
#include "plot/tplot.h"

#include "support/winmath.h"
#include "support/winsub.h"

#include <cmath>
#include <cstdlib>

namespace zarvo {

namespace {

// More ticks than this on one scale cannot be told apart on any screen; such a scale (from an
// absurd range or step) gets its axis line only, instead of a loop that never ends.
const double MaxTicks = 1.0e6;

int AxisSlot(int Index) {
    const int I = std::abs(Index);
    return (I >= 1 && I <= AxisCount) ? I - 1 : -1;
}

} // namespace

const TPlotAxis& TPlot::Axis(int Index) const {
    static const TPlotAxis None;
    const int Slot = AxisSlot(Index);
    return Slot < 0 ? None : FAxes[Slot];
}

void TPlot::SetAxis(int Index, int Flags, double Min, double Max) {
    const int Slot = AxisSlot(Index);
    if (Slot < 0) return;
    TPlotAxis& A = FAxes[Slot];
    A.Linear = (Flags & AxisLogarithmic) == 0;
    A.Horizontal = (Flags & AxisVertical) == 0;
    const double Start = A.Horizontal ? FFrame.Left : FFrame.Bottom;
    const double Length = A.Horizontal ? FFrame.Right - FFrame.Left : FFrame.Top - FFrame.Bottom;
    A.Min = Min;
    A.Max = Max;
    // An empty range (or a logarithm of a non-positive bound) gives no usable factor: every
    // value then lands at the axis start.
    double Span;
    if (A.Linear)
        Span = Max - Min;
    else
        Span = (Min > 0.0 && Max > 0.0) ? std::log10(Max / Min) : 0.0;
    if (Span == 0.0 || !std::isfinite(Span)) {
        A.Factor = 0.0;
        A.Offset = Start;
        return;
    }
    A.Factor = Length / Span;
    A.Offset = A.Linear ? Start - Min * A.Factor : Start - std::log10(Min) * A.Factor;
}

double TPlot::AxisToPlot(int Index, double Value) const {
    const int Slot = AxisSlot(Index);
    if (Slot < 0) return 1.0;
    const TPlotAxis& A = FAxes[Slot];
    if (A.Linear) return Value * A.Factor + A.Offset;
    const double L = std::log10(Value);
    return std::isfinite(L) ? L * A.Factor + A.Offset : A.Offset;
}

void TPlot::SetScaleStyle(int Decimals, double LabelHeight, double LabelDistance,
                          double MajorTick, double MinorTick) {
    FScaleStyle.Decimals = Decimals;
    FScaleStyle.LabelHeight = LabelHeight;
    FScaleStyle.LabelDistance = LabelDistance;
    FScaleStyle.MajorTick = MajorTick;
    FScaleStyle.MinorTick = MinorTick;
}

std::string TPlot::FormatScaleValue(int Decimals, double Value) {
    if (Decimals >= 0) return RealToStr(0, Decimals, Value);
    // Beyond 10^300 no double is left to round to.
    const int Places = Decimals < -300 ? 300 : -Decimals;
    const double Unit = std::pow(10.0, Places);
    const double Q = Value / Unit;
    const double Rounded = (Q < 0 ? -std::floor(-Q + 0.5) : std::floor(Q + 0.5)) * Unit;
    return RealToStr(0, 0, Rounded);
}

void TPlot::DrawTick(const TPlotAxis& A, double P, double Position, double HalfLength) {
    if (A.Horizontal) {
        PlotTo(3, 0, P, Position - HalfLength);
        PlotTo(2, 0, P, Position + HalfLength);
    } else {
        PlotTo(3, 0, Position - HalfLength, P);
        PlotTo(2, 0, Position + HalfLength, P);
    }
}

void TPlot::DrawGridLine(const TPlotAxis& A, double P) {
    if (A.Horizontal) {
        PlotTo(3, 0, P, FFrame.Top);
        PlotTo(2, 0, P, FFrame.Bottom);
    } else {
        PlotTo(3, 0, FFrame.Left, P);
        PlotTo(2, 0, FFrame.Right, P);
    }
}

void TPlot::DrawAxisLine(const TPlotAxis& A, double Position) {
    if (A.Horizontal) {
        PlotTo(3, 0, FFrame.Right, Position);
        PlotTo(2, 0, FFrame.Left, Position);
    } else {
        PlotTo(3, 0, Position, FFrame.Top);
        PlotTo(2, 0, Position, FFrame.Bottom);
    }
}

void TPlot::DrawScale(int Index, int Subdivisions, TColor Color, int Flags, double Step,
                      double Position) {
    const int Slot = AxisSlot(Index);
    if (Slot < 0) return;
    const TPlotAxis& A = FAxes[Slot];

    const TColor SavedPen = FCanvas ? FCanvas->PenColor() : ColorBlack;
    if (FCanvas) FCanvas->SetPenColor(Color);
    const int SavedStyle = FTextStyle;
    const double SavedHeight = FTextHeight, SavedAngle = FTextAngle;

    const bool Labels = (Flags & ScaleNoLabels) == 0;
    const bool Rotated = (Flags & ScaleRotatedLabels) != 0 && !A.Horizontal;
    if (Labels) {
        SetTextHeight(FScaleStyle.LabelHeight);
        SetFontStyle(0);
        SetTextAngle(Rotated ? 90.0 : 0.0);
    }
    if (Subdivisions == 0) Subdivisions = 10;

    const bool OtherSide = (Flags & ScaleLabelsOtherSide) != 0;
    const double D = FScaleStyle.LabelDistance;
    int Align;
    double LabelOffset; // from Position, across the axis
    if (A.Horizontal) {
        Align = OtherSide ? 4 : 6;
        LabelOffset = OtherSide ? D : -D;
    } else if (!OtherSide) {
        Align = Rotated ? 4 : 8;
        LabelOffset = -D;
    } else {
        Align = Rotated ? 6 : 2;
        LabelOffset = D;
    }
    const double LabelDX = A.Horizontal ? 0.0 : LabelOffset;
    const double LabelDY = A.Horizontal ? LabelOffset : 0.0;

    if (A.Linear) {
        DrawLinearTicks(Index, Subdivisions, Color, Flags, Step, Position, Align, LabelDX,
                        LabelDY);
        DrawAxisLine(A, Position);
    } else {
        DrawLogTicks(Index, Color, Flags, Position, Align, LabelDX, LabelDY);
    }

    if (FCanvas) FCanvas->SetPenColor(SavedPen);
    if (Labels) {
        FTextStyle = SavedStyle;
        SetTextHeight(SavedHeight);
        FTextAngle = SavedAngle;
    }
}

void TPlot::DrawScaleIndexed(int Index, int Subdivisions, int ColorIndex, int Flags, double Step,
                             double Position) {
    DrawScale(Index, Subdivisions, PlotColor(ColorIndex), Flags, Step, Position);
}

void TPlot::DrawLinearTicks(int Index, int Subdivisions, TColor Color, int Flags, double Step,
                            double Position, int LabelAlign, double LabelDX, double LabelDY) {
    const TPlotAxis& A = Axis(Index);
    const double S = std::fabs(Step);
    const double F = S / std::abs(Subdivisions);
    if (!(F > 0.0) || !std::isfinite(F) || !std::isfinite(A.Min) || !std::isfinite(A.Max))
        return;
    const double K0 = FloorReal(A.Min / F - 0.1);
    const double K1 = FloorReal(A.Max / F + 0.1);
    const double Start = K0 * F;
    const double Span = std::fabs(K1 - K0);
    if (!(Span <= MaxTicks)) return;
    const long N = static_cast<long>(RoundHalfEven(Span));

    int Decimals = FScaleStyle.Decimals;
    if (Decimals == -999) Decimals = -static_cast<int>(RoundHalfEven(FloorReal(std::log10(S))));

    const bool Labels = (Flags & ScaleNoLabels) == 0;
    // k * F + start carries rounding errors of a few ulps: a tick that should lie exactly on
    // Min or Max must not be lost, nor a long tick be taken for a short one.
    const double Tol = F * 1e-6;
    for (long K = 0; K <= N; ++K) {
        double T = K * F + Start;
        if (T < A.Min - Tol || T > A.Max + Tol) continue;
        const double P = AxisToPlot(Index, T);
        const double FromMultiple = T - S * std::round(T / S);
        if (std::fabs(FromMultiple) < F / 2) {
            if (std::fabs(T) < F / 10) T = 0.0;
            if (Flags & ScaleGrid) DrawGridLine(A, P);
            DrawTick(A, P, Position, FScaleStyle.MajorTick);
            if (Labels && (!(Flags & ScaleNoZeroLabel) || std::fabs(T) >= F)) {
                const std::string Text = (Flags & ScalePrefixLabels)
                                             ? FloatToPrefixStr(T, 0, Decimals, "")
                                             : FormatScaleValue(Decimals, T);
                const double RX = A.Horizontal ? P : Position + LabelDX;
                const double RY = A.Horizontal ? Position + LabelDY : P;
                WriteText(Text, LabelAlign, Color, RX, RY);
            }
        } else {
            DrawTick(A, P, Position, FScaleStyle.MinorTick);
        }
    }
}

void TPlot::DrawLogTicks(int Index, TColor Color, int Flags, double Position, int LabelAlign,
                         double LabelDX, double LabelDY) {
    const TPlotAxis& A = Axis(Index);
    const TPlotPoint LineStart =
        A.Horizontal ? TPlotPoint{FFrame.Left, Position} : TPlotPoint{Position, FFrame.Bottom};
    const TPlotPoint LineEnd =
        A.Horizontal ? TPlotPoint{FFrame.Right, Position} : TPlotPoint{Position, FFrame.Top};
    TPlotPoint Last = LineStart;
    const bool Labels = (Flags & ScaleNoLabels) == 0;

    const double R = A.Max / A.Min;
    // Only a positive, increasing, finite range has decades to walk.
    if (A.Min > 0.0 && R > 1.0 && std::isfinite(R)) {
        const long Decades = static_cast<long>(std::trunc(std::log10(R))) + 1;
        const long E0 = static_cast<long>(RoundHalfEven(FloorReal(std::log10(A.Min) + 0.001)));

        // The pattern of ticks within one decade: groups j of members i.
        int Groups;
        double G;
        auto Members = [&](int J) -> int {
            if (R > 500000) return 10;
            if (R > 100) return J == 0 ? 8 : 5;
            if (R > 2) {
                if (Decades == 2) return J <= 4 ? 5 : 2;
                return J <= 4 ? 10 : 5;
            }
            return J <= 4 ? 5 : 2;
        };
        auto MemberStep = [&](int J) -> double {
            if (R > 500000) return 1.0;
            if (R > 100) return J == 0 ? 0.5 : 1.0;
            if (R > 2) {
                if (Decades == 2) return J <= 4 ? 0.2 : 0.5;
                return J <= 4 ? 0.1 : 0.2;
            }
            return J <= 4 ? 0.1 : 0.25;
        };
        auto GroupLabelled = [&](int J) { return !(R > 2 && R <= 100 && Decades == 2 && J > 4); };
        if (R > 500000) {
            Groups = 1;
            G = 0.0;
        } else if (R > 100) {
            Groups = 2;
            G = 4.0;
        } else if (R > 2) {
            Groups = 9;
            G = 1.0;
        } else {
            Groups = 18;
            G = 0.5;
        }

        for (long Dec = 0; Dec <= Decades; ++Dec) {
            const double Power = std::pow(10.0, static_cast<double>(E0 + Dec));
            for (int J = 0; J < Groups; ++J) {
                const int Count = Members(J);
                const double U = MemberStep(J);
                for (int I = 0; I < Count; ++I) {
                    const double V = Power * (1.0 + J * G + I * U);
                    if (!(A.Min < V && V < A.Max)) continue;
                    const double P = AxisToPlot(Index, V);
                    const TPlotPoint OnAxis =
                        A.Horizontal ? TPlotPoint{P, Position} : TPlotPoint{Position, P};
                    PlotTo(3, 0, Last.X, Last.Y);
                    PlotTo(2, 0, OnAxis.X, OnAxis.Y);
                    Last = OnAxis;
                    if (I == 0) {
                        if (Flags & ScaleGrid) DrawGridLine(A, P);
                        DrawTick(A, P, Position, FScaleStyle.MajorTick);
                        if (Labels && GroupLabelled(J)) {
                            const double RX = A.Horizontal ? P : Position + LabelDX;
                            const double RY = A.Horizontal ? Position + LabelDY : P;
                            WriteText(FloatToPrefixStr(V, 0, -1, ""), LabelAlign, Color, RX, RY);
                        }
                    } else {
                        DrawTick(A, P, Position, FScaleStyle.MinorTick);
                    }
                }
            }
        }
    }
    PlotTo(3, 0, Last.X, Last.Y);
    PlotTo(2, 0, LineEnd.X, LineEnd.Y);
}

} // namespace zarvo
