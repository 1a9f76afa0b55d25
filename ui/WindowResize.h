#pragma once

#include "ResizeRule.h"

#include <QMargins>
#include <QSize>

#include <array>
#include <optional>

class QWidget;

namespace veltran {

/// The resize rule applied to a top-level window, in pixels on its screen, with the outer frame the
/// window manager puts around it.
/// - The frame is known only once the window manager has decorated the shown window, so a window
///   that the rule set to its minimum before that gets the minimum outer size again then.
/// - While the user drags the frame, the window manager ignores where the rule places the window, and
///   Qt believes it obeyed until the window manager says where the window is when the drag ends; the
///   window then asks for the rule's place again (Apply).
class WindowResizer
{
public:
    /// Moves and sizes the window as DecideResize says and returns whether its controls are to be laid
    /// out again. A change of size raises a further resize event later, which then finds the window at
    /// its new size.
    bool Apply(QWidget& window, WindowState state);

    /// To be called when the window may have learnt its frame: gives a window that was at its minimum
    /// the minimum outer size again under the new frame. Returns whether the frame changed, after which
    /// the window is to be placed by the rule again (Apply).
    bool FrameMayHaveChanged(QWidget& window, WindowState state);

    /// Whether the window, as Qt last heard from the window system, is where the rule wants it.
    bool Obeyed(const QWidget& window, WindowState state) const;

    /// Whether the inner size is one this object asked for lately, so that the resize event that
    /// brings it is the window's answer and not the user's doing.
    bool Requested(const QSize& inner) const;

private:
    void Resize(QWidget& window, const QSize& inner);

    std::array<QSize, 4> m_requested;
    std::size_t m_nextRequest = 0;
    std::optional<QMargins> m_frame; // the frame as last seen
};

} // namespace veltran
