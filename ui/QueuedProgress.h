#pragma once

#include "ProgressDisplay.h"

#include <QObject>

namespace veltran {

/// A run's progress told from the run's threads to a display on the window's thread: each refresh
/// and the end of the loop become queued calls on `context`'s thread, shown there in the order they
/// were made. The window shows nothing per file, so FileStarting and FileFinished are not passed on.
class QueuedProgress : public ProgressDisplay
{
public:
    /// `shown` and `context` must outlive every call queued; calls still queued when `context` goes
    /// are dropped.
    QueuedProgress(ProgressDisplay& shown, QObject& context) : m_shown(shown), m_context(context) {}

    void ShowProgress(int percent, std::size_t index) override
    {
        QMetaObject::invokeMethod(
            &m_context, [this, percent, index] { m_shown.ShowProgress(percent, index); }, Qt::QueuedConnection);
    }
    void RunEnded() override
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_shown.RunEnded(); }, Qt::QueuedConnection);
    }

private:
    ProgressDisplay& m_shown;
    QObject& m_context;
};

} // namespace veltran
