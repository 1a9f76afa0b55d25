#include "QtEventPump.h"

#include <QCoreApplication>

namespace veltran {

QtEventPump::QtEventPump()
{
    m_sinceYield.start();
}

bool QtEventPump::InputMayBeWaiting()
{
    return m_sinceYield.hasExpired(kYieldIntervalMs);
}

void QtEventPump::ProcessEvents()
{
    QCoreApplication::processEvents();
    m_sinceYield.restart();
}

} // namespace veltran
