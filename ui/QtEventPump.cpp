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
    MessageRequest request;
    request.text = "确定要终止当前的处理过程吗？";
    request.caption = "中断";
    request.buttons = MessageButtons::OkCancel;
    request.icon = MessageIcon::Question;
    request.defaultButton = DefaultButton::Second;
    return m_messageBox.ShowMessageBox(request) == MessageResult::Ok;
}

} // namespace veltran
