#pragma once

#include "Bytes.h"

#include <cstddef>

// Short Chinese texts as the bytes of each encoding, for the plausibility tests.
namespace veltran::fixtures {

// Byte literals are written as escaped strings; the helper keeps embedded NULs.
template <std::size_t N> Bytes B(const char (&literal)[N])
{
    return Bytes(literal, literal + N - 1);
}

// 我们的网站今天开始提供中文版本 ("our site offers a Chinese version from today"), 15 characters.
inline const Bytes kGbSentence = B("\xCE\xD2\xC3\xC7\xB5\xC4\xCD\xF8\xD5\xBE\xBD\xF1\xCC\xEC\xBF\xAA\xCA\xBC\xCC\xE1"
                                   "\xB9\xA9\xD6\xD0\xCE\xC4\xB0\xE6\xB1\xBE");
inline const Bytes kUtf8SimplifiedSentence =
    B("\xE6\x88\x91\xE4\xBB\xAC\xE7\x9A\x84\xE7\xBD\x91\xE7\xAB\x99\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xBC\x80\xE5\xA7\x8B"
      "\xE6\x8F\x90\xE4\xBE\x9B\xE4\xB8\xAD\xE6\x96\x87\xE7\x89\x88\xE6\x9C\xAC");
// The same in Traditional characters: 我們的網站今天開始提供中文版本.
inline const Bytes kBig5Sentence =
    B("\xA7\xDA\xAD\xCC\xAA\xBA\xBA\xF4\xAF\xB8\xA4\xB5\xA4\xD1\xB6}\xA9l\xB4\xA3\xA8\xD1"
      "\xA4\xA4\xA4\xE5\xAA\xA9\xA5\xBB");
inline const Bytes kUtf8TraditionalSentence =
    B("\xE6\x88\x91\xE5\x80\x91\xE7\x9A\x84\xE7\xB6\xB2\xE7\xAB\x99\xE4\xBB\x8A\xE5\xA4\xA9\xE9\x96\x8B\xE5\xA7\x8B"
      "\xE6\x8F\x90\xE4\xBE\x9B\xE4\xB8\xAD\xE6\x96\x87\xE7\x89\x88\xE6\x9C\xAC");
// 這個網頁說明軟體與資料庫的設定 in GBK: Traditional characters that GB holds but GB 2312 lacks.
inline const Bytes kGbkTraditionalSentence = B("\xDF@\x82\x80\xBEW\xED\x93\xD5"
                                               "f\xC3\xF7\xDC\x9B\xF3w\xC5"
                                               "c\xD9Y\xC1\xCF\x8E\xEC\xB5\xC4\xD4O\xB6\xA8");
// 20 common GB characters whose bytes (leads B0-C5) are also common BIG5 characters.
inline const Bytes kGbAlsoCommonBig5 = B("\xB0\xA1\xB0\xAE\xB1\xB1\xB2\xBB\xB5\xC4\xB4\xF3\xB6\xD4\xB7\xA2\xB9\xA4\xB9"
                                         "\xFA\xBA\xCD\xBA\xC3\xBB\xE1\xBC\xD2\xBE\xAD\xBF\xC9\xC0\xB4\xC1\xCB\xC3\xC7"
                                         "\xC3\xE6");
// x酞y in GB: 78 CC AA 79 is also valid UTF-8 (x, U+032A, y).
inline const Bytes kGbValidAsUtf8 = B("x\xCC\xAAy");
// 中文 and 中 in UTF-8.
inline const Bytes kUtf8TwoCharacters = B("\xE4\xB8\xAD\xE6\x96\x87");
inline const Bytes kUtf8OneCharacter = B("\xE4\xB8\xAD");
// A trail byte 7F after a lead byte: valid in none of the three.
inline const Bytes kInvalidEverywhere = B("\x81\x7F");

} // namespace veltran::fixtures
