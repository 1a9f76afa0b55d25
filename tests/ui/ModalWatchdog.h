#pragma once

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>

namespace veltran {

/// Closes any modal dialog that a test did not expect and remembers its title, so that a stray box
/// fails the test instead of hanging it.
class ModalWatchdog
{
public:
    ModalWatchdog()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            m_intrusions << modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
        m_timer.start(200);
    }

    const QStringList& Intrusions() const { return m_intrusions; }

private:
    QTimer m_timer;
    QStringList m_intrusions;
};

} // namespace veltran
