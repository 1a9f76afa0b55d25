#include "CodePage.h"

#include "AsciiRun.h"

#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace veltran {
namespace {

// ICU's copies of Windows' own tables: every byte pair Windows assigns, the user-defined areas as
// private-use characters, 0x80 as the euro sign in GB and the duplicate BIG5 pairs decoding as Windows does.
constexpr char kGbConverterName[] = "windows-936-2000";
constexpr char kBig5ConverterName[] = "windows-950-2000";
constexpr char kSubstitute = '?';

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

// The character that `bytes` make alone, or 0 when they are not exactly one BMP character.
char16_t DecodeAlone(UConverter& converter, const char* bytes, std::size_t size)
{
    ucnv_resetToUnicode(&converter);
    UChar units[4];
    UChar* target = units;
    const char* source = bytes;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(&converter, &target, units + 4, &source, bytes + size, nullptr, true, &status);
    return U_SUCCESS(status) && target == units + 1 ? units[0] : 0;
}

} // namespace

CodePage::IcuConverter CodePage::OpenIcuConverter(EncodingId encoding)
{
    const char* name = encoding == EncodingId::Big5 ? kBig5ConverterName : kGbConverterName;
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("cannot open code page converter ") + name);
    // Encoding uses round-trip mappings only. The tables' one-way "best fit" entries would turn, say, À
    // into A in BIG5; a character the code page lacks must show up as '?' instead, and then decoding what
    // was encoded never yields a different character. (These tables hold no private-use fallbacks, which
    // ICU would apply regardless of this switch.)
    ucnv_setFallback(converter.get(), false);
    ucnv_setSubstChars(converter.get(), &kSubstitute, 1, &status);
    ucnv_setFromUCallBack(converter.get(), SubstituteQuestionMark, nullptr, nullptr, nullptr, &status);
    // Decoding stops at the first illegal or unassigned sequence.
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("cannot set up code page converter ") + name);
    return converter;
}

const CodePage& CodePage::Of(EncodingId encoding)
{
    static const CodePage gb(EncodingId::Gb);
    static const CodePage big5(EncodingId::Big5);
    return encoding == EncodingId::Big5 ? big5 : gb;
}

CodePage::CodePage(EncodingId encoding) : m_pairs(128 * 256), m_bytesOf(0x10000)
{
    // Each byte and pair is decoded alone: both code pages read text as independent characters, so
    // what ICU makes of one is what it makes of it anywhere.
    const IcuConverter converter = OpenIcuConverter(encoding);
    std::vector<char16_t> characters;
    std::vector<bool> seen(0x10000);
    auto found = [&](char16_t character) {
        if (!seen[character])
            characters.push_back(character);
        seen[character] = true;
    };
    for (int high = 0x80; high <= 0xFF; ++high) {
        char bytes[2] = {static_cast<char>(high), 0};
        if (const char16_t single = DecodeAlone(*converter, bytes, 1); single != 0) {
            m_singleByte[high - 0x80] = single;
            found(single);
            continue;
        }
        for (int trail = 0; trail <= 0xFF; ++trail) {
            bytes[1] = static_cast<char>(trail);
            const char16_t character = DecodeAlone(*converter, bytes, 2);
            m_pairs[(high - 0x80) * 256 + trail] = character;
            if (character != 0)
                found(character);
        }
    }

    // Only characters that some bytes decode to can have a round-trip mapping; all the others become
    // '?'. They are encoded in one call, whose offsets say which bytes belong to which character.
    std::vector<char> bytes(characters.size() * 2);
    std::vector<int32_t> offsets(bytes.size());
    ucnv_resetFromUnicode(converter.get());
    const UChar* source = reinterpret_cast<const UChar*>(characters.data());
    char* target = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source, source + characters.size(),
                     offsets.data(), true, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("code page encoding failed: ") + u_errorName(status));
    for (std::size_t i = 0; i < static_cast<std::size_t>(target - bytes.data()); ++i) {
        std::uint16_t& value = m_bytesOf[characters[static_cast<std::size_t>(offsets[i])]];
        value = static_cast<std::uint16_t>(value << 8 | static_cast<std::uint8_t>(bytes[i]));
    }
}

const std::uint8_t* CodePage::Decode(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                                     bool stopAtAscii, char16_t*& out, bool& invalid) const
{
    invalid = false;
    while (in < stop) {
        const std::uint8_t byte = *in;
        if (byte < 0x80) {
            if (stopAtAscii)
                break;
            const std::size_t run = AsciiRunLength(in, stop);
            std::copy_n(in, run, out);
            in += run;
            out += run;
            continue;
        }
        if (const char16_t single = m_singleByte[byte - 0x80]; single != 0) {
            *out++ = single;
            ++in;
            continue;
        }
        const char16_t character = in + 1 < end ? m_pairs[(byte - 0x80) * 256 + in[1]] : 0;
        if (character == 0) {
            invalid = true;
            break;
        }
        *out++ = character;
        in += 2;
    }
    return in;
}

std::uint8_t* CodePage::Encode(const char16_t* in, const char16_t* end, std::uint8_t* out) const
{
    while (in < end) {
        const char16_t unit = *in++;
        if (unit < 0x80) {
            *out++ = static_cast<std::uint8_t>(unit);
            continue;
        }
        const std::uint16_t bytes = m_bytesOf[unit];
        if (bytes >= 0x100) {
            *out++ = static_cast<std::uint8_t>(bytes >> 8);
            *out++ = static_cast<std::uint8_t>(bytes);
        } else if (bytes != 0) {
            *out++ = static_cast<std::uint8_t>(bytes);
        } else {
            // Neither code page holds a character outside the BMP: its pair becomes one '?'.
            if (U16_IS_LEAD(unit) && in < end && U16_IS_TRAIL(*in))
                ++in;
            *out++ = kSubstitute;
        }
    }
    return out;
}

} // namespace veltran
