#pragma once

#include "TwipGeometry.h"

#include <QRect>

namespace veltran {

/// Converts between twips and the pixels of a screen with the given logical dots per inch.
class TwipScale
{
public:
    /// Dots per inch across and down; values of zero or less count as 96.
    TwipScale(double dpiX, double dpiY);

    double TwipsPerPixelX() const { return m_twipsPerPixelX; }
    double TwipsPerPixelY() const { return m_twipsPerPixelY; }

    /// Pixels rounded to the nearest whole pixel.
    QRect ToPixels(const TwipRect& rect) const;
    QSize ToPixels(const TwipSize& size) const;
    TwipRect ToTwips(const QRect& rect) const;
    TwipSize ToTwips(const QSize& size) const;

private:
    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
};

} // namespace veltran
