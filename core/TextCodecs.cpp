#include "TextCodecs.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace veltran {
namespace {

// ICU's copies of Windows' own tables: every byte pair Windows assigns, the user-defined areas as
// private-use characters, 0x80 as the euro sign in GB and the duplicate BIG5 pairs decoding as Windows does.
constexpr char kGbConverterName[] = "windows-936-2000";
constexpr char kBig5ConverterName[] = "windows-950-2000";
constexpr char kSubstitute = '?';
constexpr std::uint64_t kHighBitsOf8Bytes = 0x8080808080808080ULL;
constexpr std::size_t kMaxInvalidSequence = 32; // ICU keeps at most this many bytes of a bad sequence
constexpr std::size_t kWellFormed = static_cast<std::size_t>(-1);

Status InvalidBytes(EncodingId encoding, std::size_t offset)
{
    return Status::Failure(StatusCode::InvalidBytes, "bytes not valid in " + std::string(EncodingName(encoding)) +
                                                         " at offset " + std::to_string(offset));
}

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Writes one '?' per code point the code page lacks, unpaired surrogates included. ICU's stock callbacks
// silently drop default-ignorable characters (soft hyphen, zero-width joiner, U+FEFF...), which would make
// such characters vanish from a converted file without a trace.
void SubstituteQuestionMark(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                            UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return; // reset, close and clone notifications carry no character
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, &kSubstitute, 1, 0, status);
}

ConverterPtr OpenConverter(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("cannot open code page converter ") + name);
    // Encoding uses round-trip mappings only. The tables' one-way "best fit" entries would turn, say, À
    // into A in BIG5; a character the code page lacks must show up as '?' instead, and then decoding what
    // was encoded never yields a different character. (These tables hold no private-use fallbacks, which
    // ICU would apply regardless of this switch.)
    ucnv_setFallback(converter.get(), false);
    ucnv_setSubstChars(converter.get(), &kSubstitute, 1, &status);
    ucnv_setFromUCallBack(converter.get(), SubstituteQuestionMark, nullptr, nullptr, nullptr, &status);
    // Decoding stops at the first illegal or unassigned sequence so that the caller learns its offset.
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("cannot set up code page converter ") + name);
    return converter;
}

// Opening a converter costs far more than converting a small file, so each thread keeps its own pair.
UConverter& GbConverter()
{
    thread_local ConverterPtr converter = OpenConverter(kGbConverterName);
    return *converter;
}

UConverter& Big5Converter()
{
    thread_local ConverterPtr converter = OpenConverter(kBig5ConverterName);
    return *converter;
}

// Length of the leading run of bytes below 0x80, eight bytes at a time where possible.
template <typename Unit> std::size_t AsciiPrefixLength(const Unit* data, std::size_t size)
{
    std::size_t i = 0;
    if constexpr (sizeof(Unit) == 1) {
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, data + i, 8);
            if ((word & kHighBitsOf8Bytes) != 0)
                break;
        }
    }
    while (i < size && data[i] < 0x80)
        ++i;
    return i;
}

// Both code pages map 00-7F to U+0000-U+007F and read any text as a sequence of independent characters,
// so the ASCII prefix is copied directly and the converter starts on the rest.
DecodeResult DecodeCodePage(UConverter& converter, EncodingId encoding, ByteView bytes)
{
    std::u16string text;
    // One or two bytes never give more than one UTF-16 unit in these code pages.
    text.resize(bytes.size());
    const std::size_t prefix = AsciiPrefixLength(bytes.data(), bytes.size());
    std::copy_n(bytes.data(), prefix, text.begin());
    if (prefix == bytes.size())
        return text;

    ucnv_resetToUnicode(&converter);
    const char* const begin = reinterpret_cast<const char*>(bytes.data());
    const char* source = begin + prefix;
    UChar* target = text.data() + prefix;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(&converter, &target, text.data() + text.size(), &source, begin + bytes.size(), nullptr, true,
                   &status);
    if (U_FAILURE(status)) {
        // The stop callback leaves the source just past the offending bytes, which the converter keeps.
        char invalid[kMaxInvalidSequence];
        auto invalidLength = static_cast<std::int8_t>(sizeof invalid);
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(&converter, invalid, &invalidLength, &ignored);
        return InvalidBytes(encoding,
                            static_cast<std::size_t>(source - begin) - static_cast<std::size_t>(invalidLength));
    }
    text.resize(static_cast<std::size_t>(target - text.data()));
    return text;
}

Bytes EncodeCodePage(UConverter& converter, std::u16string_view text)
{
    // A UTF-16 unit gives at most two bytes; a surrogate pair gives a single '?'.
    Bytes bytes(text.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(&converter)));
    const std::size_t prefix = AsciiPrefixLength(text.data(), text.size());
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(prefix), bytes.begin(),
                   [](char16_t unit) { return static_cast<std::uint8_t>(unit); });
    if (prefix == text.size()) {
        bytes.resize(prefix);
        return bytes;
    }

    ucnv_resetFromUnicode(&converter);
    char* const begin = reinterpret_cast<char*>(bytes.data());
    char* target = begin + prefix;
    const UChar* source = text.data() + prefix;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(&converter, &target, begin + bytes.size(), &source, text.data() + text.size(), nullptr, true,
                     &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("code page encoding failed: ") + u_errorName(status));
    bytes.resize(static_cast<std::size_t>(target - begin));
    return bytes;
}

// Walks strict UTF-8, handing every code point to emit. Returns the offset of the first malformed sequence
// (overlong form, surrogate, value above U+10FFFF, stray trail byte or truncated sequence), or kWellFormed.
template <typename Emit> std::size_t WalkUtf8(ByteView bytes, Emit&& emit)
{
    const std::uint8_t* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const std::size_t asciiEnd = i + AsciiPrefixLength(data + i, size - i);
        for (; i < asciiEnd; ++i)
            emit(static_cast<UChar32>(data[i]));
        if (i == size)
            break;
        const std::size_t start = i;
        UChar32 codePoint = 0;
        U8_NEXT(data, i, size, codePoint);
        if (codePoint < 0)
            return start;
        emit(codePoint);
    }
    return kWellFormed;
}

} // namespace

bool HasUtf8Bom(ByteView bytes)
{
    return bytes.size() >= kUtf8Bom.size() && std::equal(kUtf8Bom.begin(), kUtf8Bom.end(), bytes.begin());
}

Bytes Utf8Encode(std::u16string_view text)
{
    // A BMP unit needs at most three bytes and a surrogate pair four for its two units.
    Bytes bytes(text.size() * 3);
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 codePoint = 0;
        U16_NEXT(text.data(), i, text.size(), codePoint);
        if (U_IS_SURROGATE(codePoint))
            codePoint = 0xFFFD;
        U8_APPEND_UNSAFE(bytes.data(), out, codePoint);
    }
    bytes.resize(out);
    return bytes;
}

DecodeResult Utf8Decode(ByteView bytes)
{
    std::u16string text;
    // Every UTF-16 unit takes at least one byte of UTF-8.
    text.resize(bytes.size());
    std::size_t out = 0;
    const std::size_t invalid =
        WalkUtf8(bytes, [&](UChar32 codePoint) { U16_APPEND_UNSAFE(text.data(), out, codePoint); });
    if (invalid != kWellFormed)
        return InvalidBytes(EncodingId::Utf8, invalid);
    text.resize(out);
    return text;
}

DecodeResult DecodeGb(ByteView bytes)
{
    return DecodeCodePage(GbConverter(), EncodingId::Gb, bytes);
}

Bytes EncodeGb(std::u16string_view text)
{
    return EncodeCodePage(GbConverter(), text);
}

DecodeResult DecodeBig5(ByteView bytes)
{
    return DecodeCodePage(Big5Converter(), EncodingId::Big5, bytes);
}

Bytes EncodeBig5(std::u16string_view text)
{
    return EncodeCodePage(Big5Converter(), text);
}

DecodeResult Decode(EncodingId encoding, ByteView bytes)
{
    switch (encoding) {
    case EncodingId::Gb:
        return DecodeGb(bytes);
    case EncodingId::Big5:
        return DecodeBig5(bytes);
    case EncodingId::Utf8:
        break;
    }
    return Utf8Decode(bytes);
}

Bytes Encode(EncodingId encoding, std::u16string_view text)
{
    switch (encoding) {
    case EncodingId::Gb:
        return EncodeGb(text);
    case EncodingId::Big5:
        return EncodeBig5(text);
    case EncodingId::Utf8:
        break;
    }
    return Utf8Encode(text);
}

bool IsNonAsciiUtf8(ByteView bytes)
{
    const std::size_t prefix = AsciiPrefixLength(bytes.data(), bytes.size());
    if (prefix == bytes.size())
        return false;
    return WalkUtf8(bytes.subspan(prefix), [](UChar32) {}) == kWellFormed;
}

} // namespace veltran
