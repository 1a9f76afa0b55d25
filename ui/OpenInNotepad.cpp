#include "OpenInNotepad.h"

#include "MessageBoxService.h"
#include "TextViewer.h"

namespace veltran {

void OpenInNotepad(TextViewer& viewer, MessageBoxService& messageBox, const std::filesystem::path& path,
                   EncodingId encoding)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return;
    const Status shown = viewer.ShowFile(path, encoding);
    if (shown)
        return;
    MessageRequest request;
    request.text = shown.message;
    request.caption = "错误";
    request.icon = MessageIcon::Error;
    messageBox.ShowMessageBox(request);
}

} // namespace veltran
