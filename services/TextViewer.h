#pragma once

#include "EncodingId.h"
#include "Status.h"

#include <filesystem>

namespace veltran {

/// Shows a text file to the user: the run log and a list entry's file.
class TextViewer
{
public:
    virtual ~TextViewer() = default;

    /// Shows the file, read as `encoding` (as UTF-8 when it starts with the byte-order mark), in a
    /// normal window and returns without waiting for the user to close it. Fails when the file cannot
    /// be read; bytes that do not decode are shown as U+FFFD.
    virtual Status ShowFile(const std::filesystem::path& file, EncodingId encoding) = 0;
};

} // namespace veltran
