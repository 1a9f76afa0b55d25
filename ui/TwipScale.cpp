#include "TwipScale.h"

#include <cmath>

namespace veltran {

namespace {

constexpr double kDefaultDpi = 96.0;

double TwipsPerPixel(double dpi)
{
    return kTwipsPerInch / (dpi > 0 ? dpi : kDefaultDpi);
}

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

TwipScale::TwipScale(double dpiX, double dpiY)
    : m_twipsPerPixelX(TwipsPerPixel(dpiX)), m_twipsPerPixelY(TwipsPerPixel(dpiY))
{
}

QRect TwipScale::ToPixels(const TwipRect& rect) const
{
    return QRect(Round(rect.left / m_twipsPerPixelX), Round(rect.top / m_twipsPerPixelY),
                 Round(rect.width / m_twipsPerPixelX), Round(rect.height / m_twipsPerPixelY));
}

QSize TwipScale::ToPixels(const TwipSize& size) const
{
    return QSize(Round(size.width / m_twipsPerPixelX), Round(size.height / m_twipsPerPixelY));
}

TwipRect TwipScale::ToTwips(const QRect& rect) const
{
    return {rect.x() * m_twipsPerPixelX, rect.y() * m_twipsPerPixelY, rect.width() * m_twipsPerPixelX,
            rect.height() * m_twipsPerPixelY};
}

TwipSize TwipScale::ToTwips(const QSize& size) const
{
    return {size.width() * m_twipsPerPixelX, size.height() * m_twipsPerPixelY};
}

} // namespace veltran
