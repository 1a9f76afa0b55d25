#pragma once

#include "TwipGeometry.h"
#include "WindowState.h"

#include <optional>

namespace veltran {

/// The smallest outer size of the main window in the normal state.
inline constexpr TwipSize kMinimumWindowSize{8000, 6400};

/// What a resize of the main window leads to.
struct ResizeOutcome
{
    std::optional<TwipRect> outer; // the window's new outer geometry, when it must move or change size
    bool layOut = false;           // whether the controls are laid out again
    bool snapped = false;          // the window was below the minimum and is set to exactly the minimum
};

/// The resize rule. Minimised: nothing. Maximised: lay out only. Normal: a window at least 8000 x 6400
/// is centred on the screen keeping its size (left = (screen - width) / 2, truncated toward zero, so a
/// window wider than the screen gets a negative left); a smaller one is set to exactly 8000 x 6400 and
/// then centred the same way. Positions are relative to the screen's top-left corner.
ResizeOutcome DecideResize(WindowState state, const TwipRect& outer, const TwipSize& screen);

} // namespace veltran
