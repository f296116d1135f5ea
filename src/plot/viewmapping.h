// The window/viewport mapping between logical plot units (y up) and device pixels (y down).
#pragma once

namespace zarvo {

// A logical point (x, y) lies at device x = (x - WindowOrgX) * ViewportExtX / WindowExtX and
// device y = (y - WindowOrgY) * ViewportExtY / WindowExtY; the viewport origin is (0, 0).
// WindowExtY is negative for a plot, so y turns downwards on the device.
struct TViewMapping {
    int WindowOrgX = 0;
    int WindowOrgY = 0;
    int WindowExtX = 1;
    int WindowExtY = 1;
    int ViewportExtX = 1; // device width
    int ViewportExtY = 1; // device height

    double ToDeviceX(double LX) const {
        return (LX - WindowOrgX) * static_cast<double>(ViewportExtX) / WindowExtX;
    }
    double ToDeviceY(double LY) const {
        return (LY - WindowOrgY) * static_cast<double>(ViewportExtY) / WindowExtY;
    }
    double ToLogicalX(double DX) const {
        return WindowOrgX + DX * static_cast<double>(WindowExtX) / ViewportExtX;
    }
    double ToLogicalY(double DY) const {
        return WindowOrgY + DY * static_cast<double>(WindowExtY) / ViewportExtY;
    }
    // Device pixels per logical unit; the y value is negative when y turns downwards.
    double ScaleX() const { return static_cast<double>(ViewportExtX) / WindowExtX; }
    double ScaleY() const { return static_cast<double>(ViewportExtY) / WindowExtY; }
};

} // namespace zarvo
