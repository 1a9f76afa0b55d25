#pragma once

#include "ByteBuffer.h"
#include "Bytes.h"
#include "EncodingId.h"
#include "Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltran {

/// The UTF-8 byte-order mark EF BB BF.
inline constexpr std::array<std::uint8_t, 3> kUtf8Bom{0xEF, 0xBB, 0xBF};

/// Strict decoders give the text, or InvalidBytes with the message "bytes not valid in <name> at
/// offset <n>", n being the offset of the first sequence that is malformed or unassigned.
using DecodeResult = Result<std::u16string>;

/// True when the bytes start with EF BB BF; false for fewer than three bytes.
bool HasUtf8Bom(ByteView bytes);

/// UTF-8 without byte-order mark. Unpaired surrogates become U+FFFD; empty text gives no bytes.
Bytes Utf8Encode(std::u16string_view text);

/// Strict UTF-8: overlong forms, surrogates, code points above U+10FFFF and truncated
/// sequences fail at their offset. Empty input gives empty text. A byte-order mark is kept as U+FEFF.
DecodeResult Utf8Decode(ByteView bytes);

/// GB, code page 936 exactly as Windows maps it (0x80 is the euro sign, the user-defined
/// areas are private-use characters). Unassigned or truncated pairs fail.
DecodeResult DecodeGb(ByteView bytes);

/// GB, code page 936. Characters the code page lacks become '?' (0x3F). Empty text gives no bytes.
Bytes EncodeGb(std::u16string_view text);

/// BIG5, code page 950 exactly as Windows maps it (user-defined areas are private-use characters).
DecodeResult DecodeBig5(ByteView bytes);

/// BIG5, code page 950. Characters the code page lacks become '?' (0x3F).
Bytes EncodeBig5(std::u16string_view text);

/// Dispatches to the decoder of the given encoding.
DecodeResult Decode(EncodingId encoding, ByteView bytes);

/// Dispatches to the encoder of the given encoding.
Bytes Encode(EncodingId encoding, std::u16string_view text);

/// Where DecodeAppend stopped, as an offset in the bytes it was given.
struct DecodeStop
{
    std::size_t offset = 0;
    bool invalid = false; // a sequence that is malformed or unassigned starts at the offset
};

/// Decodes strictly as Decode does, appending the characters to `text`. Stops at the end, at the
/// first invalid sequence, before the first character that starts at or after `limit`, and, with
/// `stopAtAscii`, before the first character that begins with a byte below 0x80 (those bytes are the
/// ASCII characters in all three encodings). A sequence cut short by the end is invalid.
DecodeStop DecodeAppend(EncodingId encoding, ByteView bytes, std::u16string& text, bool stopAtAscii = false,
                        std::size_t limit = SIZE_MAX);

/// Decodes as DecodeAppend does, from `in` while characters start before `stop`, into `out`, which
/// has room for one unit per byte from `in` to `stop` and four more; `end` ends the bytes. Moves
/// `out` past the units written and returns where decoding stopped, at the invalid sequence when
/// `invalid` is set. For callers that decode many short runs into one buffer of their own.
const std::uint8_t* DecodeRun(EncodingId encoding, const std::uint8_t* in, const std::uint8_t* stop,
                              const std::uint8_t* end, bool stopAtAscii, char16_t*& out, bool& invalid);

/// Appends the text, encoded as Encode does, to `out`. False when GB or BIG5 lacked a character of
/// the text and '?' stands for it (UTF-8 and GB 18030 hold them all).
bool EncodeAppend(EncodingId encoding, std::u16string_view text, ByteBuffer& out);

/// The InvalidBytes failure for bytes not valid in the encoding at `offset`.
Status InvalidBytesAt(EncodingId encoding, std::size_t offset);

/// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence: a file
/// declared GB or BIG5 that passes this test is already UTF-8.
bool IsNonAsciiUtf8(ByteView bytes);

} // namespace veltran
