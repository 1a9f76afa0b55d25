#include "WindowResize.h"

#include "TwipScale.h"

#include <QScreen>
#include <QWidget>

namespace veltran {

bool ApplyResizeRule(QWidget& window, WindowState state)
{
    const TwipScale scale(window.logicalDpiX(), window.logicalDpiY());
    const QRect frame = window.frameGeometry();
    const QScreen* screen = window.screen();
    const QRect screenRect = screen ? screen->geometry() : QRect(QPoint(), frame.size());

    const ResizeOutcome outcome =
        DecideResize(state, scale.ToTwips(frame.translated(-screenRect.topLeft())), scale.ToTwips(screenRect.size()));
    if (outcome.outer) {
        const QRect target = scale.ToPixels(*outcome.outer).translated(screenRect.topLeft());
        // Only what differs is set: an unchanged request would raise resize events without end.
        if (target.size() != frame.size())
            window.resize(target.size() - (frame.size() - window.size()));
        if (target.topLeft() != frame.topLeft())
            window.move(target.topLeft());
    }
    return outcome.layOut;
}

} // namespace veltran
