#include "StopQuestion.h"

#include "MessageBoxService.h"

namespace veltran {

bool ConfirmStop(MessageBoxService& messageBox)
{
    return messageBox.ShowMessageBox(StandardMessage("确定要终止当前的处理过程吗？", "中断", MessageIcon::Question,
                                                     MessageButtons::OkCancel, DefaultButton::Second)) ==
           MessageResult::Ok;
}

} // namespace veltran
