#pragma once

namespace veltran {

class MessageBoxService;

/// "确定要终止当前的处理过程吗？" with the caption "中断", OK and Cancel, Cancel the default; true on OK.
bool ConfirmStop(MessageBoxService& messageBox);

} // namespace veltran
