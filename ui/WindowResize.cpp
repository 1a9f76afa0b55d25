#include "WindowResize.h"

#include "TwipScale.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace veltran {

namespace {

// The frame as the window system has it now. QWidget::frameGeometry keeps a copy that it renews only
// on some events, and may go on showing no frame for seconds after the window manager has put one
// around the window.
QMargins FrameOf(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle())
        return handle->frameMargins();
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QRect OuterOf(const QWidget& window)
{
    return window.geometry().marginsAdded(FrameOf(window));
}

// Puts the frame's top-left corner at `outer`, by the frame the window system has now (QWidget::move
// goes by the copy that can be stale).
void MoveOuter(QWidget& window, const QPoint& outer)
{
    if (QWindow* handle = window.windowHandle())
        handle->setFramePosition(outer);
    else
        window.move(outer);
}

QSize FrameSize(const QMargins& frame)
{
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}

TwipScale ScaleOf(const QWidget& window)
{
    return TwipScale(window.logicalDpiX(), window.logicalDpiY());
}

// What the rule wants of the window now, as an outer rectangle in pixels on its screen.
std::optional<QRect> Wanted(const QWidget& window, WindowState state, ResizeOutcome& outcome)
{
    const TwipScale scale = ScaleOf(window);
    const QRect frame = OuterOf(window);
    const QScreen* screen = window.screen();
    const QRect screenRect = screen ? screen->geometry() : QRect(QPoint(), frame.size());
    TwipRect outer = scale.ToTwips(frame.translated(-screenRect.topLeft()));
    // The minimum is a fraction of a pixel wider and taller than the whole pixels that show it: a
    // window at those pixels is at the minimum, not below it.
    const QSize minimum = scale.ToPixels(kMinimumWindowSize);
    if (frame.width() >= minimum.width())
        outer.width = std::max(outer.width, kMinimumWindowSize.width);
    if (frame.height() >= minimum.height())
        outer.height = std::max(outer.height, kMinimumWindowSize.height);
    outcome = DecideResize(state, outer, scale.ToTwips(screenRect.size()));
    if (!outcome.outer)
        return std::nullopt;
    return scale.ToPixels(*outcome.outer).translated(screenRect.topLeft());
}

} // namespace

bool WindowResizer::Apply(QWidget& window, WindowState state)
{
    FrameMayHaveChanged(window, state);
    const QRect frame = OuterOf(window);
    ResizeOutcome outcome;
    if (const std::optional<QRect> target = Wanted(window, state, outcome)) {
        // Only what differs is set: an unchanged request would raise resize events without end.
        if (target->size() != frame.size())
            Resize(window, target->size() - (frame.size() - window.size()));
        if (target->topLeft() != frame.topLeft())
            MoveOuter(window, target->topLeft());
    }
    return outcome.layOut;
}

void WindowResizer::Resize(QWidget& window, const QSize& inner)
{
    m_requested[m_nextRequest++ % m_requested.size()] = inner;
    window.resize(inner);
}

bool WindowResizer::Requested(const QSize& inner) const
{
    return std::find(m_requested.begin(), m_requested.end(), inner) != m_requested.end();
}

bool WindowResizer::FrameMayHaveChanged(QWidget& window, WindowState state)
{
    const QMargins frame = FrameOf(window);
    if (m_frame == frame)
        return false;
    const QSize minimum = ScaleOf(window).ToPixels(kMinimumWindowSize);
    // A window at its minimum under the old frame keeps its minimum outer size under the new one.
    const bool atMinimum = m_frame && window.size() == minimum - FrameSize(*m_frame);
    m_frame = frame;
    const QSize minimumInner = minimum - FrameSize(frame);
    if (state == WindowState::Normal && atMinimum && window.size() != minimumInner)
        Resize(window, minimumInner); // the resize event that follows centres the window at its outer size
    return true;
}

bool WindowResizer::Obeyed(const QWidget& window, WindowState state) const
{
    ResizeOutcome outcome;
    const std::optional<QRect> target = Wanted(window, state, outcome);
    return !target || *target == OuterOf(window);
}

} // namespace veltran
