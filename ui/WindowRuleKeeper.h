#pragma once

#include "WindowResize.h"
#include "WindowState.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QEvent;
class QResizeEvent;
class QWidget;

namespace veltran {

/// Sees to it that a window managed by a window manager ends up where the resize rule wants it, which
/// asking once does not always achieve:
/// - Qt learns the frame some time after the window is shown, without an event of its own, so the
///   frame is looked for every tenth of a second during the first ten seconds.
/// - While the user drags the frame, the window manager ignores what the rule asks for and Qt does
///   not notice; the rule is asked for again once the frame has rested a moment, once the window
///   manager has said where the window ended up, and when the pointer comes back into the window.
class WindowRuleKeeper : public QObject
{
public:
    /// `applyRule` places and lays the window out by the rule (its resize handler); `state` tells
    /// the window's state. The window and the resizer must outlive this object.
    WindowRuleKeeper(QWidget& window, WindowResizer& resizer, std::function<WindowState()> state,
                     std::function<void()> applyRule);

    /// To be told every event of the window, after the window has handled it.
    void EventHandled(const QEvent& event);
    /// To be told every resize event, after the rule has been applied to it.
    void Resized(const QResizeEvent& event);

private:
    QWidget& m_window;
    WindowResizer& m_resizer;
    std::function<WindowState()> m_state;
    std::function<void()> m_applyRule;
    QTimer m_resizeSettled;
    QTimer m_frameWatch;
    int m_frameWatchTicks = 0;
    bool m_resizedSinceEnter = false; // by the user, since the pointer last came into the window
};

} // namespace veltran
