#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "Status.h"

#include <cstddef>
#include <string>

namespace veltran {

/// Where the text of file content starts and what it is decoded as.
struct TextLayout
{
    EncodingId encoding;
    std::size_t start; // past a byte-order mark
};

/// The layout of file content read as `source`: content that starts with the UTF-8 byte-order mark
/// is UTF-8 after it, whatever the source; content shorter than three bytes is never tested for it.
/// Fails (Empty) for empty content and a byte-order mark alone.
Result<TextLayout> LayoutOf(ByteView bytes, EncodingId source);

/// Decodes whole file content strictly, as LayoutOf lays it out. Fails as LayoutOf does, and for
/// invalid bytes (with their offset in the content). Which encoding to decode as is the caller's
/// choice (ChooseSource).
Result<std::u16string> DecodeFileBytes(ByteView bytes, EncodingId source);

} // namespace veltran
