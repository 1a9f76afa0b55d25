#include "CodePage.h"

#include "AsciiRun.h"

#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>
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

// Decodes groups of `stride` bytes in one call, skipping what is invalid, and gives for each group the
// unit that a sequence starting at the group's first byte decoded to, or 0. Each group ends in bytes
// that no code page sequence takes in, so that a sequence never reaches into the next group.
std::vector<char16_t> DecodeGroups(UConverter& converter, const std::vector<char>& bytes, std::size_t stride)
{
    std::vector<UChar> units(bytes.size());
    std::vector<int32_t> offsets(bytes.size());
    ucnv_resetToUnicode(&converter);
    const char* source = bytes.data();
    UChar* target = units.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(&converter, &target, units.data() + units.size(), &source, bytes.data() + bytes.size(),
                   offsets.data(), true, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("code page decoding failed: ") + u_errorName(status));
    std::vector<char16_t> decoded(bytes.size() / stride);
    std::vector<int> count(decoded.size());
    for (std::size_t i = 0; i < static_cast<std::size_t>(target - units.data()); ++i) {
        const auto offset = static_cast<std::size_t>(offsets[i]);
        if (offset % stride == 0) {
            decoded[offset / stride] = units[i];
            ++count[offset / stride];
        }
    }
    // A group that gave more than one unit did not decode to one BMP character.
    for (std::size_t group = 0; group < decoded.size(); ++group) {
        if (count[group] != 1)
            decoded[group] = 0;
    }
    return decoded;
}

template <typename Make> void MakeOnce(std::once_flag& once, std::atomic<bool>& ready, const Make& make)
{
    if (ready.load(std::memory_order_acquire))
        return;
    std::call_once(once, [&] {
        make();
        ready.store(true, std::memory_order_release);
    });
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

void CodePage::MakeDecodeTables() const
{
    // Both code pages read text as independent characters, so what ICU makes of a byte or a pair in
    // one place is what it makes of it anywhere. A line feed ends each group: it is never a trail byte.
    const IcuConverter converter = OpenIcuConverter(m_encoding);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
    m_pairs.resize(128 * 256);
    std::vector<char> singles;
    for (int high = 0x80; high <= 0xFF; ++high)
        singles.insert(singles.end(), {static_cast<char>(high), '\n', '\n'});
    const std::vector<char16_t> single = DecodeGroups(*converter, singles, 3);
    for (int high = 0x80; high <= 0xFF; ++high) {
        m_singleByte[high - 0x80] = single[high - 0x80];
        if (single[high - 0x80] != 0)
            continue;
        std::vector<char> pairs;
        for (int trail = 0; trail <= 0xFF; ++trail)
            pairs.insert(pairs.end(), {static_cast<char>(high), static_cast<char>(trail), '\n'});
        const std::vector<char16_t> pair = DecodeGroups(*converter, pairs, 3);
        std::copy(pair.begin(), pair.end(), m_pairs.begin() + (high - 0x80) * 256);
    }
}

void CodePage::MakeEncodeTable() const
{
    // Encoding maps round-trip characters only; all the others become '?'. The round-trip ones of
    // the BMP are encoded in one call, whose offsets say which bytes belong to which character.
    const IcuConverter converter = OpenIcuConverter(m_encoding);
    UErrorCode status = U_ZERO_ERROR;
    USet* const set = uset_openEmpty();
    ucnv_getUnicodeSet(converter.get(), set, UCNV_ROUNDTRIP_SET, &status);
    std::vector<char16_t> characters;
    for (int32_t i = 0; i < uset_getItemCount(set); ++i) {
        UChar32 first = 0;
        UChar32 last = 0;
        if (uset_getItem(set, i, &first, &last, nullptr, 0, &status) != 0)
            continue; // a string, not a range
        for (UChar32 c = std::max(first, 0x80); c <= std::min(last, 0xFFFF); ++c)
            characters.push_back(static_cast<char16_t>(c));
    }
    uset_close(set);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("code page set failed: ") + u_errorName(status));

    m_bytesOf.resize(0x10000);
    std::vector<char> bytes(characters.size() * 2);
    std::vector<int32_t> offsets(bytes.size());
    const UChar* source = reinterpret_cast<const UChar*>(characters.data());
    char* target = bytes.data();
    ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source, source + characters.size(),
                     offsets.data(), true, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("code page encoding failed: ") + u_errorName(status));
    for (std::size_t i = 0; i < static_cast<std::size_t>(target - bytes.data()); ++i) {
        std::uint16_t& value = m_bytesOf[characters[static_cast<std::size_t>(offsets[i])]];
        value = static_cast<std::uint16_t>(value << 8 | static_cast<std::uint8_t>(bytes[i]));
    }
}

void CodePage::NeedDecodeTables() const
{
    MakeOnce(m_decodeTablesMade, m_decodeTablesReady, [this] { MakeDecodeTables(); });
}

void CodePage::NeedEncodeTable() const
{
    MakeOnce(m_encodeTableMade, m_encodeTableReady, [this] { MakeEncodeTable(); });
}

const std::uint8_t* CodePage::Decode(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                                     bool stopAtAscii, char16_t*& out, bool& invalid) const
{
    NeedDecodeTables();
    // Locals, since the units written could otherwise be the tables for all the compiler knows.
    const char16_t* const singleByte = m_singleByte.data();
    const char16_t* const pairs = m_pairs.data();
    char16_t* to = out;
    invalid = false;
    while (in < stop) {
        const std::uint8_t byte = *in;
        if (byte < 0x80) {
            if (stopAtAscii)
                break;
            in = WidenAsciiRun(in, stop, to);
            continue;
        }
        if (const char16_t single = singleByte[byte - 0x80]; single != 0) {
            *to++ = single;
            ++in;
            continue;
        }
        const char16_t character = in + 1 < end ? pairs[(byte - 0x80) * 256 + in[1]] : 0;
        if (character == 0) {
            invalid = true;
            break;
        }
        *to++ = character;
        in += 2;
    }
    out = to;
    return in;
}

bool CodePage::Holds(char16_t unit) const
{
    return HeldRunLength(&unit, &unit + 1) == 1;
}

std::size_t CodePage::HeldRunLength(const char16_t* begin, const char16_t* end) const
{
    NeedEncodeTable();
    // One once-check for the whole run, then a look-up a unit: most text is held throughout.
    const std::uint16_t* const bytesOf = m_bytesOf.data();
    const char16_t* at = begin;
    while (at < end && (*at < 0x80 || bytesOf[*at] != 0))
        ++at;
    return static_cast<std::size_t>(at - begin);
}

std::uint8_t* CodePage::Encode(const char16_t* in, const char16_t* end, std::uint8_t* out, bool& lacked) const
{
    NeedEncodeTable();
    // A local, since bytes written could otherwise be the table for all the compiler knows.
    const std::uint16_t* const bytesOf = m_bytesOf.data();
    while (in < end) {
        const char16_t unit = *in++;
        if (unit < 0x80) {
            *out++ = static_cast<std::uint8_t>(unit);
            continue;
        }
        const std::uint16_t bytes = bytesOf[unit];
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
            lacked = true;
        }
    }
    return out;
}

} // namespace veltran
