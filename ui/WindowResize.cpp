#include "WindowResize.h"

#include "TwipScale.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace veltran {

namespace {

QMargins FrameOf(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
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
    const QRect frame = window.frameGeometry();
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
    const QRect frame = window.frameGeometry();
    ResizeOutcome outcome;
    if (const std::optional<QRect> target = Wanted(window, state, outcome)) {
        // Only what differs is set: an unchanged request would raise resize events without end.
        if (target->size() != frame.size())
            Resize(window, target->size() - (frame.size() - window.size()));
        if (target->topLeft() != frame.topLeft())
            window.move(target->topLeft());
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

void WindowResizer::FrameMayHaveChanged(QWidget& window, WindowState state)
{
    const QMargins frame = FrameOf(window);
    if (m_frame == frame)
        return;
    const QSize minimum = ScaleOf(window).ToPixels(kMinimumWindowSize);
    // A window at its minimum under the old frame keeps its minimum outer size under the new one.
    const bool atMinimum = m_frame && window.size() == minimum - FrameSize(*m_frame);
    m_frame = frame;
    const QSize minimumInner = minimum - FrameSize(frame);
    if (state == WindowState::Normal && atMinimum && window.size() != minimumInner)
        Resize(window, minimumInner); // the resize event that follows centres the window at its outer size
}

void WindowResizer::Reassert(QWidget& window, WindowState state)
{
    ResizeOutcome outcome;
    const std::optional<QRect> target = Wanted(window, state, outcome);
    if (!target)
        return;
    // Asked twice, a pixel apart, so that the window system is asked even when Qt takes the size and
    // place for granted.
    const QSize inner = target->size() - (window.frameGeometry().size() - window.size());
    Resize(window, inner + QSize(1, 0));
    window.move(target->topLeft() + QPoint(1, 0));
    Resize(window, inner);
    window.move(target->topLeft());
}

} // namespace veltran
