#include "ResizeRule.h"

#include <cmath>

namespace veltran {

namespace {

// Rounds the size to a whole number first, then halves dropping the remainder toward zero.
double CentredOffset(double screen, double window)
{
    const long long spare = std::llround(screen - window);
    return static_cast<double>(spare / 2);
}

} // namespace

ResizeOutcome DecideResize(WindowState state, const TwipRect& outer, const TwipSize& screen)
{
    switch (state) {
    case WindowState::Minimised:
        return {};
    case WindowState::Maximised:
        return {std::nullopt, true};
    case WindowState::Normal:
        break;
    }

    if (outer.width < kMinimumWindowSize.width || outer.height < kMinimumWindowSize.height) {
        // Setting the minimum size raises the rule again; that pass finds the window at its
        // minimum and centres it.
        const TwipRect snapped{outer.left, outer.top, kMinimumWindowSize.width, kMinimumWindowSize.height};
        ResizeOutcome inner = DecideResize(state, snapped, screen);
        if (!inner.outer)
            inner.outer = snapped;
        inner.snapped = true;
        return inner;
    }

    return {TwipRect{CentredOffset(screen.width, outer.width), CentredOffset(screen.height, outer.height), outer.width,
                     outer.height},
            true};
}

} // namespace veltran
