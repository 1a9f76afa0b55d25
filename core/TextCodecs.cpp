#include "TextCodecs.h"

#include "AsciiRun.h"
#include "CodePage.h"
#include "Gb18030Codec.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <string>

namespace veltran {
namespace {

constexpr std::size_t kWellFormed = static_cast<std::size_t>(-1);

// Decodes strict UTF-8 from `in` while characters start before `stop`; `out` has room for one unit
// per byte. Stops before an ASCII byte when asked, and at the first malformed sequence (overlong form,
// surrogate, value above U+10FFFF, stray trail byte or sequence cut short by `end`) with `invalid` set.
const std::uint8_t* DecodeUtf8(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                               bool stopAtAscii, char16_t*& out, bool& invalid)
{
    invalid = false;
    while (in < stop) {
        if (*in < 0x80) {
            if (stopAtAscii)
                break;
            in = WidenAsciiRun(in, stop, out);
            continue;
        }
        std::int32_t length = 0;
        UChar32 codePoint = 0;
        U8_NEXT(in, length, static_cast<std::int32_t>(std::min<std::ptrdiff_t>(end - in, 4)), codePoint);
        if (codePoint < 0) {
            invalid = true;
            break;
        }
        in += length;
        if (codePoint <= 0xFFFF) {
            *out++ = static_cast<char16_t>(codePoint);
        } else {
            *out++ = U16_LEAD(codePoint);
            *out++ = U16_TRAIL(codePoint);
        }
    }
    return in;
}

// A BMP unit needs at most three bytes, and a surrogate pair four for its two units.
constexpr std::size_t kMaxUtf8BytesPerUnit = 3;

std::uint8_t* EncodeUtf8(const char16_t* in, const char16_t* end, std::uint8_t* out)
{
    while (in < end) {
        if (*in < 0x80) {
            *out++ = static_cast<std::uint8_t>(*in++);
            continue;
        }
        UChar32 codePoint = *in++;
        if (U16_IS_LEAD(codePoint) && in < end && U16_IS_TRAIL(*in))
            codePoint = U16_GET_SUPPLEMENTARY(codePoint, *in++);
        else if (U_IS_SURROGATE(codePoint))
            codePoint = 0xFFFD;
        std::size_t written = 0;
        U8_APPEND_UNSAFE(out, written, codePoint);
        out += written;
    }
    return out;
}

// GB 18030 writes some BMP characters in four bytes.
constexpr std::size_t kMaxGb18030BytesPerUnit = 4;

std::size_t MaxBytesPerUnit(EncodingId encoding)
{
    if (encoding == EncodingId::Gb18030)
        return kMaxGb18030BytesPerUnit;
    return encoding == EncodingId::Utf8 ? kMaxUtf8BytesPerUnit : 2;
}

// Sets `lacked` when a code page lacked a character and wrote '?' for it.
std::uint8_t* EncodeTo(EncodingId encoding, std::u16string_view text, std::uint8_t* out, bool& lacked)
{
    const char16_t* in = text.data();
    if (encoding == EncodingId::Utf8)
        return EncodeUtf8(in, in + text.size(), out);
    if (encoding == EncodingId::Gb18030)
        return Gb18030Codec::Encode(in, in + text.size(), out);
    return CodePage::Of(encoding).Encode(in, in + text.size(), out, lacked);
}

// Offset of the first malformed UTF-8 sequence, or kWellFormed.
std::size_t FirstInvalidUtf8(ByteView bytes)
{
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const end = begin + bytes.size();
    const std::uint8_t* in = begin;
    while (in < end) {
        in += AsciiRunLength(in, end);
        if (in == end)
            break;
        std::int32_t length = 0;
        UChar32 codePoint = 0;
        U8_NEXT(in, length, static_cast<std::int32_t>(std::min<std::ptrdiff_t>(end - in, 4)), codePoint);
        if (codePoint < 0)
            return static_cast<std::size_t>(in - begin);
        in += length;
    }
    return kWellFormed;
}

DecodeResult DecodeWhole(EncodingId encoding, ByteView bytes)
{
    std::u16string text;
    const DecodeStop stop = DecodeAppend(encoding, bytes, text);
    if (stop.invalid)
        return InvalidBytesAt(encoding, stop.offset);
    return text;
}

Bytes EncodeWhole(EncodingId encoding, std::u16string_view text)
{
    Bytes bytes(text.size() * MaxBytesPerUnit(encoding));
    bool lacked = false;
    bytes.resize(static_cast<std::size_t>(EncodeTo(encoding, text, bytes.data(), lacked) - bytes.data()));
    return bytes;
}

} // namespace

Status InvalidBytesAt(EncodingId encoding, std::size_t offset)
{
    return Status::Failure(StatusCode::InvalidBytes, {.number = offset, .encoding = static_cast<int>(encoding)});
}

const std::uint8_t* DecodeRun(EncodingId encoding, const std::uint8_t* in, const std::uint8_t* stop,
                              const std::uint8_t* end, bool stopAtAscii, char16_t*& out, bool& invalid)
{
    if (encoding == EncodingId::Utf8)
        return DecodeUtf8(in, stop, end, stopAtAscii, out, invalid);
    if (encoding == EncodingId::Gb18030)
        return Gb18030Codec::Decode(in, stop, end, stopAtAscii, out, invalid);
    return CodePage::Of(encoding).Decode(in, stop, end, stopAtAscii, out, invalid);
}

DecodeStop DecodeAppend(EncodingId encoding, ByteView bytes, std::u16string& text, bool stopAtAscii, std::size_t limit)
{
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const end = begin + bytes.size();
    const std::uint8_t* const stop = begin + std::min(limit, bytes.size());
    // The room for the units grows step by step, since a run that ends at ASCII may be far shorter
    // than the bytes given. A character gives at most one unit per byte, and one that starts before
    // the end of a step takes at most four bytes.
    std::size_t written = text.size();
    const std::uint8_t* in = begin;
    bool invalid = false;
    for (std::size_t step = 64;; step *= 2) {
        const std::uint8_t* const stepStop = stop - in > static_cast<std::ptrdiff_t>(step) ? in + step : stop;
        text.resize(written +
                    std::min(static_cast<std::size_t>(stepStop - in) + 4, static_cast<std::size_t>(end - in)));
        char16_t* out = text.data() + written;
        const std::uint8_t* const reached = DecodeRun(encoding, in, stepStop, end, stopAtAscii, out, invalid);
        written = static_cast<std::size_t>(out - text.data());
        const bool stoppedEarly = reached < stepStop;
        in = reached;
        if (invalid || stoppedEarly || in >= stop)
            break;
    }
    text.resize(written);
    return {static_cast<std::size_t>(in - begin), invalid};
}

bool EncodeAppend(EncodingId encoding, std::u16string_view text, ByteBuffer& out)
{
    const std::size_t start = out.size();
    std::uint8_t* const room = out.Extend(text.size() * MaxBytesPerUnit(encoding));
    bool lacked = false;
    out.Truncate(start + static_cast<std::size_t>(EncodeTo(encoding, text, room, lacked) - room));
    return !lacked;
}

bool HasUtf8Bom(ByteView bytes)
{
    return bytes.size() >= kUtf8Bom.size() && std::equal(kUtf8Bom.begin(), kUtf8Bom.end(), bytes.begin());
}

Bytes Utf8Encode(std::u16string_view text)
{
    return EncodeWhole(EncodingId::Utf8, text);
}

DecodeResult Utf8Decode(ByteView bytes)
{
    return DecodeWhole(EncodingId::Utf8, bytes);
}

DecodeResult DecodeGb(ByteView bytes)
{
    return DecodeWhole(EncodingId::Gb, bytes);
}

Bytes EncodeGb(std::u16string_view text)
{
    return EncodeWhole(EncodingId::Gb, text);
}

DecodeResult DecodeBig5(ByteView bytes)
{
    return DecodeWhole(EncodingId::Big5, bytes);
}

Bytes EncodeBig5(std::u16string_view text)
{
    return EncodeWhole(EncodingId::Big5, text);
}

DecodeResult Decode(EncodingId encoding, ByteView bytes)
{
    return DecodeWhole(encoding, bytes);
}

Bytes Encode(EncodingId encoding, std::u16string_view text)
{
    return EncodeWhole(encoding, text);
}

bool IsNonAsciiUtf8(ByteView bytes)
{
    const std::size_t prefix = AsciiRunLength(bytes.data(), bytes.data() + bytes.size());
    return prefix != bytes.size() && FirstInvalidUtf8(bytes.subspan(prefix)) == kWellFormed;
}

} // namespace veltran
