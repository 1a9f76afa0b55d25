#include "OpenInNotepad.h"

#include "MessageBoxService.h"
#include "Reasons.h"
#include "ShownName.h"
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
    messageBox.ShowMessageBox(StandardMessage(ShownName(path.native()) + "：" + ReasonText(shown, Language::Chinese),
                                              "错误", MessageIcon::Error));
}

} // namespace veltran
