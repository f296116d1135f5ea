// The plot engine's mapping chain, pen primitives and text output.
#include "plot/tplot.h"

#include "support/winsub.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zarvo {

namespace {

const double Pi = 3.14159265358979323846;

// Nearest integer with halves to the even neighbour, limited to the int range; a value that is
// not a number becomes 0.
int RoundInt(double X) {
    const long long R = RoundHalfEven(X);
    if (R > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (R < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(R);
}

std::string WithoutMarkers(const std::string& Text) {
    std::string S;
    S.reserve(Text.size());
    for (char C : Text)
        if (C != '^' && C != '_') S += C;
    return S;
}

// A zoom factor the mapping can divide by.
double UsableZoom(double Z) { return (std::isfinite(Z) && Z > 0.0) ? Z : 1.0; }

} // namespace

TPlot::TPlot(TPlotCanvas* Canvas) : FCanvas(Canvas) {
    if (FCanvas) FCanvas->Font().Name = "Arial";
}

// ---------------------------------------------------------------------------------------------
// Text state

double TPlot::GetTextWidth(const std::string& Text) {
    if (!FCanvas) return 0.0;
    // Measured in the style the text is written in: a bold text is wider than a regular one.
    TCanvasFont& F = FCanvas->Font();
    const int Weight = F.Weight;
    const bool Italic = F.Italic;
    F.Weight = (FTextStyle & StyleBold) ? 600 : 400;
    F.Italic = (FTextStyle & StyleItalic) != 0;
    const double W = FCanvas->TextWidth(WithoutMarkers(Text)) / FXScale;
    F.Weight = Weight;
    F.Italic = Italic;
    return W;
}

void TPlot::SetTextHeight(double H) {
    if (!std::isfinite(H)) H = 0.0;
    FTextHeight = H;
    if (FCanvas) FCanvas->Font().Height = -RoundInt(H * FYScale);
}

void TPlot::SetFontStyle(int Index) {
    // 0 regular, 1 italic, 2 bold, 3 bold italic; anything else is regular.
    FTextStyle = (Index >= 0 && Index <= 3) ? Index : 0;
}

void TPlot::SetFontName(const std::string& Name) {
    if (FCanvas) FCanvas->Font().Name = Name;
}

void TPlot::SetFillColor(TColor Color) {
    FFillColor = Color;
    if (FCanvas) FCanvas->SetBrushColor(Color);
}

void TPlot::SetUserScale(double X0, double Y0, double FX, double FY) {
    FUserX0 = X0;
    FUserY0 = Y0;
    FUserFX = FX;
    FUserFY = FY;
}

// ---------------------------------------------------------------------------------------------
// Mapping

void TPlot::SetPlotArea(TPlotPoint Size, TPlotRect Margins) {
    FPlotArea.Left = Margins.Left;
    FPlotArea.Top = Size.Y - Margins.Top;
    FPlotArea.Right = Size.X - Margins.Right;
    FPlotArea.Bottom = Margins.Bottom;
    FFrame = FPlotArea;
    FAreaRect.Left = RoundInt(FPlotArea.Left * FXScale);
    FAreaRect.Top = RoundInt(FPlotArea.Top * FYScale);
    FAreaRect.Right = RoundInt(FPlotArea.Right * FXScale);
    FAreaRect.Bottom = RoundInt(FPlotArea.Bottom * FYScale);
}

void TPlot::SetFrame(int Mode, double X1, double X2, double Y1, double Y2) {
    if (Mode == 1) {
        FFrame = {X1, Y2, X2, Y1};
        return;
    }
    FFrame.Left = FPlotArea.Left + X1 - FPlotOrigin.X;
    FFrame.Right = FPlotArea.Right - X2 - FPlotOrigin.X;
    FFrame.Bottom = FPlotArea.Bottom + Y1 - FPlotOrigin.Y;
    FFrame.Top = FPlotArea.Top - Y2 - FPlotOrigin.Y;
}

void TPlot::SetViewport(TLogicalPoint DeviceSize, TPlotPoint ScrollPos, TPlotPoint Zoom) {
    const double ZX = UsableZoom(Zoom.X), ZY = UsableZoom(Zoom.Y);
    const long long W = static_cast<long long>(FAreaRect.Right) - FAreaRect.Left;
    const long long H = static_cast<long long>(FAreaRect.Bottom) - FAreaRect.Top; // negative
    int WX = RoundInt(W / ZX), WY = RoundInt(H / ZY);
    // A window without extent would divide by zero; one unit keeps its direction.
    if (WX == 0) WX = 1;
    if (WY == 0) WY = -1;
    TViewMapping M;
    M.WindowExtX = WX;
    M.WindowExtY = WY;
    M.WindowOrgX = FAreaRect.Left;
    M.WindowOrgY = FAreaRect.Top;
    // Zoomed in, the scroll positions choose which share of the hidden part is skipped.
    if (W > WX)
        M.WindowOrgX = RoundInt(FAreaRect.Left + double(RoundHalfEven(ScrollPos.X / 100.0 *
                                                                      double(W - WX))));
    if (H < WY)
        M.WindowOrgY = RoundInt(FAreaRect.Top + double(RoundHalfEven(ScrollPos.Y / 100.0 *
                                                                     double(H - WY))));
    M.ViewportExtX = DeviceSize.X < 1 ? 1 : DeviceSize.X;
    M.ViewportExtY = DeviceSize.Y < 1 ? 1 : DeviceSize.Y;
    FMapping = M;
    if (FCanvas) FCanvas->SetMapping(M);
}

void TPlot::DeviceToLogical(TLogicalPoint& P) const {
    if (!FCanvas) return;
    P.X = RoundInt(FMapping.ToLogicalX(P.X));
    P.Y = RoundInt(FMapping.ToLogicalY(P.Y));
}

void TPlot::LogicalToDevice(TLogicalPoint& P) const {
    if (!FCanvas) return;
    P.X = RoundInt(FMapping.ToDeviceX(P.X));
    P.Y = RoundInt(FMapping.ToDeviceY(P.Y));
}

void TPlot::WorldToLogical(double X, double Y, int& PX, int& PY) const {
    PX = RoundInt(X * FXScale);
    PY = RoundInt(Y * FYScale);
}

void TPlot::WorldToLogicalClamped(double X, double Y, int& PX, int& PY) const {
    WorldToLogical(X, Y, PX, PY);
    PX = std::clamp(PX, std::min(FAreaRect.Left, FAreaRect.Right),
                    std::max(FAreaRect.Left, FAreaRect.Right));
    PY = std::clamp(PY, std::min(FAreaRect.Bottom, FAreaRect.Top),
                    std::max(FAreaRect.Bottom, FAreaRect.Top));
}

void TPlot::LogicalToWorld(int PX, int PY, double& X, double& Y) const {
    X = PX / FXScale;
    Y = PY / FYScale;
}

void TPlot::PlotToLogical(double X, double Y, int& PX, int& PY) const {
    WorldToLogicalClamped(X + FPlotOrigin.X, Y + FPlotOrigin.Y, PX, PY);
}

void TPlot::LogicalToPlot(int PX, int PY, double& X, double& Y) const {
    LogicalToWorld(PX, PY, X, Y);
    X -= FPlotOrigin.X;
    Y -= FPlotOrigin.Y;
}

// ---------------------------------------------------------------------------------------------
// Pen primitives

void TPlot::ClearPlot(bool Erase, TColor BackColor) {
    FFrame.Left += FPlotOrigin.X;
    FFrame.Right += FPlotOrigin.X;
    FFrame.Top += FPlotOrigin.Y;
    FFrame.Bottom += FPlotOrigin.Y;
    FPlotOrigin = {0.0, 0.0};
    FLastPoint = {0.0, 0.0};
    FUserX0 = FUserY0 = 0.0;
    FUserFX = FUserFY = 1.0;
    FPenState = 3;
    FFillColor = BackColor;
    if (FCanvas && Erase) {
        FCanvas->SetPenColor(~BackColor & 0xFFFFFFu);
        FCanvas->SetPenWidth(1);
        FCanvas->SetPenStyle(TPenStyle::Solid);
        FCanvas->SetPenMode(TPenMode::Copy);
        FTextHeight = 0.5;
        FTextStyle = 0;
        FTextAngle = 0.0;
        TCanvasFont& F = FCanvas->Font();
        F.Name = "Arial";
        F.Height = RoundInt(0.5 * FYScale); // positive: the cell height
        F.Weight = 400;
        F.Italic = false;
        F.Escapement = 0;
        FCanvas->SetBrushColor(BackColor);
        FMarkerSize = 0.4;
        FCanvas->FillRect(FAreaRect, BackColor);
    }
    MoveToWorld(FLastPoint.X, FLastPoint.Y);
}

void TPlot::MoveToWorld(double X, double Y) {
    if (!FCanvas) return;
    int PX, PY;
    WorldToLogicalClamped(X, Y, PX, PY);
    FCanvas->MoveTo(PX, PY);
}

void TPlot::LineToWorld(double X, double Y) {
    if (!FCanvas) return;
    int PX, PY;
    WorldToLogicalClamped(X, Y, PX, PY);
    FCanvas->LineTo(PX, PY);
}

void TPlot::PlotTo(int Code, int Marker, double X, double Y) {
    int C = std::abs(Code);
    if (C > 10) {
        C -= 10;
        X = (X - FUserX0) / FUserFX;
        Y = (Y - FUserY0) / FUserFY;
    }
    X += FPlotOrigin.X;
    Y += FPlotOrigin.Y;
    if (C == 1) {
        if (FPenState == 2)
            LineToWorld(X, Y);
        else
            MoveToWorld(X, Y);
    } else if (C == 2) {
        FPenState = 2;
        LineToWorld(X, Y);
    } else if (C == 3) {
        FPenState = 3;
        MoveToWorld(X, Y);
    }
    // Code 0 moves nothing and still marks the point.
    if (C <= 3 && Marker != 0) {
        const double R = 0.5 * FMarkerSize;
        switch (Marker) {
        case 1: // plus
            MoveToWorld(X - R, Y);
            LineToWorld(X + R, Y);
            MoveToWorld(X, Y + R);
            LineToWorld(X, Y - R);
            break;
        case 2: // cross
            MoveToWorld(X - R, Y - R);
            LineToWorld(X + R, Y + R);
            MoveToWorld(X - R, Y + R);
            LineToWorld(X + R, Y - R);
            break;
        case 3: { // triangle
            const double A = 1.2 * R, B = 0.7 * R;
            MoveToWorld(X - A, Y - B);
            LineToWorld(X + A, Y - B);
            LineToWorld(X, Y + 2.16 * B);
            LineToWorld(X - A, Y - B);
            break;
        }
        case 4: // square
            MoveToWorld(X - R, Y - R);
            LineToWorld(X + R, Y - R);
            LineToWorld(X + R, Y + R);
            LineToWorld(X - R, Y + R);
            LineToWorld(X - R, Y - R);
            break;
        case 5: { // octagon
            const double E = 0.4 * R;
            MoveToWorld(X - R, Y - E);
            LineToWorld(X - R, Y + E);
            LineToWorld(X - E, Y + R);
            LineToWorld(X + E, Y + R);
            LineToWorld(X + R, Y + E);
            LineToWorld(X + R, Y - E);
            LineToWorld(X + E, Y - R);
            LineToWorld(X - E, Y - R);
            LineToWorld(X - R, Y - E);
            break;
        }
        default:
            break;
        }
        MoveToWorld(X, Y);
    }
    FLastPoint = {X, Y};
    if (Code < 0) {
        FFrame.Left += FPlotOrigin.X - X;
        FFrame.Right += FPlotOrigin.X - X;
        FFrame.Top += FPlotOrigin.Y - Y;
        FFrame.Bottom += FPlotOrigin.Y - Y;
        FPlotOrigin = {X, Y};
    }
}

void TPlot::FillArea(TColor Color, double X1, double Y1, double X2, double Y2) {
    if (!FCanvas) return;
    TLogicalRect R;
    PlotToLogical(X1, Y1, R.Left, R.Bottom);
    PlotToLogical(X2, Y2, R.Right, R.Top);
    // The canvas fills with the colour it is given; the brush stays as it was.
    FCanvas->FillRect(R, Color);
}

void TPlot::DrawRectOutline(const TLogicalRect& Rect, TColor Color, TPenMode Mode,
                            TPenStyle Style) {
    if (!FCanvas) return;
    FCanvas->SetPenColor(Color);
    FCanvas->SetPenStyle(Style);
    FCanvas->SetPenMode(Mode);
    FCanvas->MoveTo(Rect.Left, Rect.Top);
    FCanvas->LineTo(Rect.Right, Rect.Top);
    FCanvas->LineTo(Rect.Right, Rect.Bottom);
    FCanvas->MoveTo(Rect.Left, Rect.Top);
    FCanvas->LineTo(Rect.Left, Rect.Bottom);
    FCanvas->LineTo(Rect.Right, Rect.Bottom);
}

// ---------------------------------------------------------------------------------------------
// Text

void TPlot::SelectTextFont() {
    TCanvasFont& F = FCanvas->Font();
    FSavedFont = F;
    if (F.Name.size() > 31) F.Name.resize(31);
    F.Height = -RoundInt(FTextHeight * FYScale);
    // Counter-clockwise on the page, the direction the alignment arithmetic assumes.
    F.Escapement = RoundInt(10.0 * FTextAngle);
    F.Weight = (FTextStyle & StyleBold) ? 600 : 400;
    F.Italic = (FTextStyle & StyleItalic) != 0;
}

void TPlot::RestoreTextFont() {
    FCanvas->Font() = FSavedFont;
    FCanvas->SetFontColor(FSavedFontColor);
}

void TPlot::WriteText(const std::string& Text, int Align, TColor Color, double X, double Y) {
    if (!FCanvas) return;
    FSavedFontColor = FCanvas->FontColor();
    FCanvas->SetFontColor(Color);
    FCanvas->Font().Height = -RoundInt(FTextHeight * FYScale);
    SelectTextFont();

    const double Rad = FTextAngle * Pi / 180.0;
    const double S = std::sin(Rad), C = std::cos(Rad);
    const double H = 0.9 * GetTextHeight();

    int A = Align % 10;
    if (A < 0) A = 0;
    static const double U[10] = {0, 0, 0, 0, 0.5, 0.5, 0.5, 1, 1, 1};
    static const double V[10] = {0, 1, 0.55, 0.1, 1, 0.55, 0.1, 1, 0.55, 0.1};
    const double Uf = U[A], Vf = V[A];
    // The width only matters for centred and right-aligned text.
    const double W = Uf != 0.0 ? GetTextWidth(Text) : 0.0;
    X = X - Uf * C * W - Vf * S * H;
    Y = Y - Uf * S * W + Vf * C * H;

    double D = 0.0;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        if (Text[Pos] == '^') {
            D += 0.4 * H;
            ++Pos;
        } else if (Text[Pos] == '_') {
            D -= 0.4 * H;
            ++Pos;
        }
        std::size_t End = Text.find_first_of("^_", Pos);
        if (End == std::string::npos) End = Text.size();
        if (End == Pos) continue;
        // A text without markers (every label of the preview) is its own one segment.
        const bool Whole = Pos == 0 && End == Text.size();
        if (!Whole) FSegment.assign(Text, Pos, End - Pos);
        const std::string& Segment = Whole ? Text : FSegment;
        Pos = End;
        int PX, PY;
        PlotToLogical(X - S * D, Y + C * D, PX, PY);
        FCanvas->TextOut(PX, PY, Segment, FTransparentText);
        if (Pos < Text.size()) {
            const double Wseg = GetTextWidth(Segment);
            X += C * Wseg;
            Y += S * Wseg;
        }
    }
    RestoreTextFont();
}

void TPlot::WriteTextIndexed(const std::string& Text, int Align, int ColorIndex, double X,
                             double Y) {
    WriteText(Text, Align, PlotColor(ColorIndex), X, Y);
}

void TPlot::WriteTextFont(const std::string& Text, int Align, const std::string& FontName,
                          TColor Color, double X, double Y) {
    SetFontName(FontName);
    WriteText(Text, Align, Color, X, Y);
}

} // namespace zarvo
