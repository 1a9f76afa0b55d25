#pragma once

#include "EncodingId.h"
#include "Status.h"

#include <filesystem>
#include <string>

namespace veltran {

/// Shows a text to the user: the run log, a list entry's file, the result of a check.
class TextViewer
{
public:
    virtual ~TextViewer() = default;

    /// Shows the file, read as `encoding` (as UTF-8 when it starts with the byte-order mark), in a
    /// normal window and returns without waiting for the user to close it. Fails when the file cannot
    /// be read; bytes that do not decode are shown as U+FFFD.
    virtual Status ShowFile(const std::filesystem::path& file, EncodingId encoding) = 0;

    /// Shows a text the program made (UTF-8) under the title, in the same kind of window.
    virtual void ShowText(const std::string& title, const std::string& text) = 0;
};

} // namespace veltran
