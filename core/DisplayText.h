#pragma once

#include "Bytes.h"
#include "EncodingId.h"

#include <cstddef>
#include <string>

namespace veltran {

/// A file's bytes decoded to be read by a person rather than converted.
struct DisplayText
{
    std::u16string text;
    EncodingId encoding = EncodingId::Gb; // what the bytes were read as
    std::size_t undecodable = 0;          // byte sequences shown as U+FFFD
};

/// Decodes the bytes as `encoding`, or as UTF-8 when they start with the UTF-8 byte-order mark (which
/// is left out). Never fails: every sequence that is malformed or unassigned becomes one U+FFFD.
DisplayText DecodeForDisplay(ByteView bytes, EncodingId encoding);

} // namespace veltran
