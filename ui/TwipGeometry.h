#pragma once

namespace veltran {

/// Window and control geometry in twips (1440 to the inch, 15 to the pixel at 96 dots per inch).
struct TwipSize
{
    double width = 0;
    double height = 0;
};

struct TwipRect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

inline constexpr double kTwipsPerInch = 1440.0;

} // namespace veltran
