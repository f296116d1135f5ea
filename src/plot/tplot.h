// The two-dimensional plot engine: world, plot, logical and device coordinates, pen and text
// primitives, and scales with tick marks, drawn on a canvas it is given but does not own.
#pragma once

#include "plot/plotcanvas.h"
#include "plot/plotcolors.h"

#include <string>

namespace zarvo {

// A pair of doubles: a point or a size in world or plot units.
struct TPlotPoint {
    double X = 0.0;
    double Y = 0.0;
};

// A rectangle of doubles: left, top, right, bottom (top above bottom).
struct TPlotRect {
    double Left = 0.0;
    double Top = 0.0;
    double Right = 0.0;
    double Bottom = 0.0;
};

// One axis transform: Value * Factor + Offset (log10(Value) for a logarithmic axis) is the plot
// coordinate along x (horizontal) or y.
struct TPlotAxis {
    bool Linear = true;
    bool Horizontal = true;
    double Min = 10.0;
    double Max = 0.0;
    double Factor = 1.0;
    double Offset = 0.0;
};

struct TScaleStyle {
    int Decimals = -999; // decimals of linear labels; -999 chooses them from the step
    double LabelDistance = 0.25;
    double MajorTick = 0.17; // half-length of a long tick
    double MinorTick = 0.08; // half-length of a short tick
    double LabelHeight = 0.4;
};

// Text style bits.
constexpr int StyleItalic = 1;
constexpr int StyleBold = 2;

// Flags of DrawScale.
constexpr int ScaleGrid = 1;
constexpr int ScaleNoLabels = 2;
constexpr int ScalePrefixLabels = 4;
constexpr int ScaleLabelsOtherSide = 16 | 32;
constexpr int ScaleRotatedLabels = 128;
constexpr int ScaleNoZeroLabel = 256;

// Flags of SetAxis.
constexpr int AxisLogarithmic = 2;
constexpr int AxisVertical = 8;

constexpr int AxisCount = 8;

class TPlot {
public:
    explicit TPlot(TPlotCanvas* Canvas);
    virtual ~TPlot() = default;
    TPlot(const TPlot&) = delete;
    TPlot& operator=(const TPlot&) = delete;

    TPlotCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TPlotCanvas* Canvas) { FCanvas = Canvas; }

    // Text state. Heights are in world units; angles in degrees, counter-clockwise.
    virtual double GetTextHeight() const { return FTextHeight; }
    // Width of Text without its "^" and "_" markers, in world units; 0 without a canvas.
    virtual double GetTextWidth(const std::string& Text);
    virtual void SetTextHeight(double H);
    virtual void SetFontStyle(int Index);
    virtual void SetTextAngle(double Degrees) { FTextAngle = Degrees; }
    void SetTextTransparent(bool Flag) { FTransparentText = Flag; }
    void SetFontName(const std::string& Name);
    void SetFillColor(TColor Color);
    int TextStyle() const { return FTextStyle; }
    double TextAngle() const { return FTextAngle; }
    bool TransparentText() const { return FTransparentText; }

    // Mapping, in the order a caller sets it up.
    void SetPlotArea(TPlotPoint Size, TPlotRect Margins);
    void SetFrame(int Mode, double X1, double X2, double Y1, double Y2);
    // DeviceSize in pixels, ScrollPos in percent (0..100) of the hidden part, Zoom > 0.
    void SetViewport(TLogicalPoint DeviceSize, TPlotPoint ScrollPos, TPlotPoint Zoom);
    void DeviceToLogical(TLogicalPoint& P) const;
    void LogicalToDevice(TLogicalPoint& P) const;
    void WorldToLogical(double X, double Y, int& PX, int& PY) const;
    void WorldToLogicalClamped(double X, double Y, int& PX, int& PY) const;
    void LogicalToWorld(int PX, int PY, double& X, double& Y) const;
    void PlotToLogical(double X, double Y, int& PX, int& PY) const;
    void LogicalToPlot(int PX, int PY, double& X, double& Y) const;

    // Drawing.
    void ClearPlot(bool Erase, TColor BackColor);
    void MoveToWorld(double X, double Y);
    void LineToWorld(double X, double Y);
    // Code 1 draws or moves by the pen state, 2 draws, 3 moves; 11 to 13 first apply the user
    // scale; a negative code makes the point the new plot origin. Marker 1 to 5 draws a plus,
    // cross, triangle, square or octagon around the point.
    void PlotTo(int Code, int Marker, double X, double Y);
    void FillArea(TColor Color, double X1, double Y1, double X2, double Y2);
    void DrawRectOutline(const TLogicalRect& Rect, TColor Color, TPenMode Mode, TPenStyle Style);
    // Text at plot coordinates; Align mod 10 picks the reference point (1 left bottom ... 9
    // right top, 0 the cell's top-left corner). "^" raises and "_" lowers what follows.
    virtual void WriteText(const std::string& Text, int Align, TColor Color, double X, double Y);
    virtual void WriteTextIndexed(const std::string& Text, int Align, int ColorIndex, double X,
                                  double Y);
    void WriteTextFont(const std::string& Text, int Align, const std::string& FontName,
                       TColor Color, double X, double Y);

    // Scales.
    void SetAxis(int Index, int Flags, double Min, double Max);
    double AxisToPlot(int Index, double Value) const;
    void SetScaleStyle(int Decimals, double LabelHeight, double LabelDistance, double MajorTick,
                       double MinorTick);
    void DrawScale(int Index, int Subdivisions, TColor Color, int Flags, double Step,
                   double Position);
    void DrawScaleIndexed(int Index, int Subdivisions, int ColorIndex, int Flags, double Step,
                          double Position);
    static std::string FormatScaleValue(int Decimals, double Value);

    // Read-only state.
    double XScale() const { return FXScale; }
    double YScale() const { return FYScale; }
    const TPlotRect& PlotArea() const { return FPlotArea; }
    const TPlotRect& Frame() const { return FFrame; }
    const TLogicalRect& AreaRect() const { return FAreaRect; }
    TPlotPoint PlotOrigin() const { return FPlotOrigin; }
    TPlotPoint LastPoint() const { return FLastPoint; }
    int PenState() const { return FPenState; }
    TColor FillColor() const { return FFillColor; }
    double MarkerSize() const { return FMarkerSize; }
    void SetMarkerSize(double Size) { FMarkerSize = Size; }
    const TViewMapping& Mapping() const { return FMapping; }
    const TPlotAxis& Axis(int Index) const;
    const TScaleStyle& ScaleStyle() const { return FScaleStyle; }
    // x0, y0, fx, fy of the user scale of PlotTo codes 11 to 13.
    void SetUserScale(double X0, double Y0, double FX, double FY);

private:
    void SelectTextFont();
    void RestoreTextFont();
    void DrawLinearTicks(int Index, int Subdivisions, TColor Color, int Flags, double Step,
                         double Position, int LabelAlign, double LabelDX, double LabelDY);
    void DrawLogTicks(int Index, TColor Color, int Flags, double Position, int LabelAlign,
                      double LabelDX, double LabelDY);
    void DrawTick(const TPlotAxis& A, double P, double Position, double HalfLength);
    void DrawGridLine(const TPlotAxis& A, double P);
    void DrawAxisLine(const TPlotAxis& A, double Position);

    double FXScale = 100.0;
    double FYScale = 100.0;
    int FPenState = 3;
    TColor FFillColor = ColorWhite;
    TPlotPoint FLastPoint;
    TPlotPoint FPlotOrigin;
    double FUserX0 = 0.0, FUserY0 = 0.0, FUserFX = 1.0, FUserFY = 1.0;
    TPlotAxis FAxes[AxisCount];
    int FTextStyle = 0;
    double FTextHeight = 0.5;
    double FTextAngle = 0.0;
    bool FTransparentText = false;
    TPlotCanvas* FCanvas = nullptr;
    TPlotRect FPlotArea;
    TPlotRect FFrame;
    TLogicalRect FAreaRect;
    TScaleStyle FScaleStyle;
    double FMarkerSize = 0.4;
    TViewMapping FMapping;
    // The font and colour WriteText replaces while it writes.
    TCanvasFont FSavedFont;
    TColor FSavedFontColor = ColorBlack;
    // The segment of a marked text being written, kept to reuse its storage.
    std::string FSegment;
};

} // namespace zarvo
