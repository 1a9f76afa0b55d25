#include "WindowRuleKeeper.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWidget>

#include <utility>

namespace veltran {

namespace {

constexpr int kResizeSettleMs = 200;
constexpr int kFrameWatchMs = 100;
constexpr int kFrameWatchTicks = 100;

} // namespace

WindowRuleKeeper::WindowRuleKeeper(QWidget& window, WindowResizer& resizer, std::function<WindowState()> state,
                                   std::function<void()> applyRule)
    : m_window(window), m_resizer(resizer), m_state(std::move(state)), m_applyRule(std::move(applyRule))
{
    m_resizeSettled.setSingleShot(true);
    m_resizeSettled.setInterval(kResizeSettleMs);
    connect(&m_resizeSettled, &QTimer::timeout, this, [this] { m_applyRule(); });
    m_frameWatch.setInterval(kFrameWatchMs);
    connect(&m_frameWatch, &QTimer::timeout, this, [this] {
        if (m_resizer.FrameMayHaveChanged(m_window, m_state()))
            m_applyRule();
        if (++m_frameWatchTicks >= kFrameWatchTicks)
            m_frameWatch.stop();
    });
}

void WindowRuleKeeper::EventHandled(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::Show:
        m_frameWatchTicks = 0;
        m_frameWatch.start();
        break;
    case QEvent::Move:
        m_resizer.FrameMayHaveChanged(m_window, m_state());
        // When the user lets go of the frame the window manager tells where the window really is.
        if (m_resizedSinceEnter && !m_resizer.Obeyed(m_window, m_state()))
            m_resizeSettled.start();
        break;
    case QEvent::Paint:
    case QEvent::WindowActivate:
        m_resizer.FrameMayHaveChanged(m_window, m_state());
        break;
    case QEvent::Enter:
        if (std::exchange(m_resizedSinceEnter, false))
            m_applyRule();
        break;
    default:
        break;
    }
}

void WindowRuleKeeper::Resized(const QResizeEvent& event)
{
    // Only the window system's resize events can be the user's: the first size is the program's own.
    if (event.spontaneous() && !m_resizer.Requested(event.size())) {
        m_resizeSettled.start();
        m_resizedSinceEnter = true;
    }
}

} // namespace veltran
