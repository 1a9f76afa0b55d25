// The main window's Qt events, turned into the form's handlers: key preview, the link label's mouse,
// resizing and closing.
#include "frmMain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace veltran {

namespace {

int KeyCode(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Escape ? frmMain::kKeyEscape : event.key();
}

} // namespace

bool frmMain::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    m_ruleKeeper.EventHandled(*event);
    return handled;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_controls.Label1) {
        if (event->type() == QEvent::MouseMove) {
            Label1_MouseMove();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_controls.Label1->rect().contains(mouse->position().toPoint()))
                Label1_Click();
            return true;
        }
    }
    // A key the focus control ignores travels on to its parents; preview it once, at the start.
    if (event->type() == QEvent::KeyPress && watched == focusWidget())
        Form_KeyDown(KeyCode(*static_cast<QKeyEvent*>(event)));
    return QWidget::eventFilter(watched, event);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (focusWidget() == nullptr || focusWidget() == this)
        Form_KeyDown(KeyCode(*event));
    QWidget::keyPressEvent(event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()) == nullptr)
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    m_ruleKeeper.Resized(*event);
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Restoring from minimised changes no size, yet centres and lays out again.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    // A run or scan in progress ends before its next file or folder; the program ends with it.
    if (m_busy)
        m_events.Abandon();
    m_run.Close();
    event->accept();
}

} // namespace veltran
