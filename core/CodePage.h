#pragma once

#include "EncodingId.h"

#include <unicode/ucnv.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace veltran {

/// Windows code page 936 (GB) or 950 (BIG5) as look-up tables, read from ICU's windows-936-2000
/// and windows-950-2000 converters when the first decoding or encoding needs them. Decoding and
/// encoding give exactly what those converters give (strict decoding; encoding by round-trip mappings
/// only, with one '?' for each character the code page lacks) at the cost of a table look-up per
/// character.
class CodePage
{
public:
    struct ConverterCloser
    {
        void operator()(UConverter* converter) const { ucnv_close(converter); }
    };
    using IcuConverter = std::unique_ptr<UConverter, ConverterCloser>;

    /// GB or BIG5. Decode and Encode are thread-safe and throw std::runtime_error when ICU lacks the
    /// converter. Inline: the decoder asks for its code page once for every run of Chinese text.
    static const CodePage& Of(EncodingId encoding)
    {
        static const CodePage big5(EncodingId::Big5);
        static const CodePage gb(EncodingId::Gb);
        return encoding == EncodingId::Big5 ? big5 : gb;
    }

    /// ICU's converter of GB or BIG5, set up the way the tables are read from it: decoding stops
    /// at the first invalid sequence, encoding writes one '?' for each character it lacks.
    static IcuConverter OpenIcuConverter(EncodingId encoding);

    /// Decodes from `in` while characters start before `stop`, writing one unit per character
    /// to `out`, which has room for one unit per byte. With `stopAtAscii` it also stops before a
    /// character that begins with a byte below 0x80. Returns where it stopped; `invalid` is set when
    /// that is a sequence the code page does not assign (a pair may reach up to `end`).
    const std::uint8_t* Decode(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                               bool stopAtAscii, char16_t*& out, bool& invalid) const;

    /// Whether the code page holds the BMP unit (surrogates it never holds).
    bool Holds(char16_t unit) const;

    /// How many units from `begin` on the code page holds, up to the first it lacks or `end`.
    std::size_t HeldRunLength(const char16_t* begin, const char16_t* end) const;

    /// Encodes the units to `out`, which has room for two bytes per unit; returns the end of the
    /// bytes written. A unit the code page lacks becomes '?', and so does a surrogate pair or a lone
    /// surrogate; `lacked` is set when that happened and left as it was otherwise.
    std::uint8_t* Encode(const char16_t* in, const char16_t* end, std::uint8_t* out, bool& lacked) const;

private:
    explicit CodePage(EncodingId encoding) : m_encoding(encoding) {}
    void MakeDecodeTables() const;
    void MakeEncodeTable() const;
    void NeedDecodeTables() const;
    void NeedEncodeTable() const;

    EncodingId m_encoding;
    // Each direction's tables are made when it is first used, since a conversion mostly needs one.
    mutable std::once_flag m_decodeTablesMade;
    mutable std::once_flag m_encodeTableMade;
    // Set once a direction's tables are made: one load per call, where std::call_once would set up
    // thread-local state on every call, and the decoder is called once per run of Chinese text.
    mutable std::atomic<bool> m_decodeTablesReady{false};
    mutable std::atomic<bool> m_encodeTableReady{false};
    mutable std::array<char16_t, 128> m_singleByte{}; // bytes 80-FF that are characters alone; else 0
    mutable std::vector<char16_t> m_pairs;            // (lead - 0x80) * 256 + trail -> character, or 0
    mutable std::vector<std::uint16_t> m_bytesOf;     // BMP unit -> a byte (below 0x100) or a pair, or 0
};

} // namespace veltran
