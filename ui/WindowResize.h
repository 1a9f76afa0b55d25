#pragma once

#include "ResizeRule.h"

class QWidget;

namespace veltran {

/// The resize rule applied to a top-level window: moves and sizes it (outer geometry in twips on its
/// screen) as DecideResize says, and returns whether its controls are to be laid out again. A change
/// of size raises a further resize event later, which then finds the window at its new size.
bool ApplyResizeRule(QWidget& window, WindowState state);

} // namespace veltran
