#pragma once

#include "EncodingId.h"

#include <filesystem>

namespace veltran {

class MessageBoxService;
class TextViewer;

/// Shows the file in the text viewer when `path` names an existing regular file (a link to one
/// counts), read as `encoding`; otherwise does nothing and says nothing. A viewer that fails shows
/// its reason in a box captioned "错误".
void OpenInNotepad(TextViewer& viewer, MessageBoxService& messageBox, const std::filesystem::path& path,
                   EncodingId encoding);

} // namespace veltran
