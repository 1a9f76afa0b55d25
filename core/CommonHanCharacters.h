#pragma once

#include <bitset>
#include <cstddef>

namespace veltran {

/// The characters that real text of each code page keeps to, read from the code pages' own tables the
/// first time they are asked for: GB 2312 level 1 (GB bytes B0A1-D7F9, 3,755 Chinese characters
/// ordered by reading), BIG5's common characters (A440-C67E, 5,401 ordered by strokes), and the
/// symbols both put before their Chinese characters (GB 2312's rows A1-A9: punctuation, full-width
/// forms, kana, Greek, Cyrillic, pinyin, box drawing; BIG5's A140-A3BF). Only characters of the Basic
/// Multilingual Plane are held, which covers all three.
class CommonHanCharacters
{
public:
    /// The sets, built once per process on first use (safe from any thread). Throws
    /// std::runtime_error when the code page converters cannot be opened.
    static const CommonHanCharacters& Get();

    /// True for a character of GB 2312 level 1; false for anything else, including code points above U+FFFF.
    bool InGbLevel1(char32_t c) const { return c < kPlaneSize && m_gbLevel1[c]; }

    /// True for one of BIG5's common characters; false for anything else.
    bool InBig5Common(char32_t c) const { return c < kPlaneSize && m_big5Common[c]; }

    /// True for a non-Chinese character of GB 2312's symbol rows (pinyin letters such as é included) or
    /// of BIG5's symbols.
    bool InSymbolRows(char32_t c) const { return c < kPlaneSize && m_symbols[c]; }

    std::size_t GbLevel1Count() const { return m_gbLevel1.count(); }
    std::size_t Big5CommonCount() const { return m_big5Common.count(); }

private:
    static constexpr std::size_t kPlaneSize = 0x10000;

    CommonHanCharacters();

    std::bitset<kPlaneSize> m_gbLevel1;
    std::bitset<kPlaneSize> m_big5Common;
    std::bitset<kPlaneSize> m_symbols;
};

} // namespace veltran
