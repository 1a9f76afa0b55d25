#include "QtEventPump.h"

#include "MessageBoxService.h"

#include <QCoreApplication>

namespace veltran {

QtEventPump::QtEventPump(MessageBoxService& messageBox) : m_messageBox(messageBox)
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

bool QtEventPump::ConfirmStop()
{
    return m_messageBox.ShowMessageBox(StandardMessage("确定要终止当前的处理过程吗？", "中断", MessageIcon::Question,
                                                       MessageButtons::OkCancel, DefaultButton::Second)) ==
           MessageResult::Ok;
}

} // namespace veltran
