#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "ReadingPlausibility.h"

#include <optional>
#include <string>

namespace veltran {

/// Why a file must not be converted from its declared source encoding, or nothing when it may be.
/// The file is refused when the source reading is invalid or implausible while another reading is
/// plausible: "looks like BIG5 already" when that reading is the target's, "looks like UTF-8, not
/// GB" when it is a third encoding ("looks like GB or BIG5, not UTF-8" when two are). With too little
/// evidence (short text, ASCII only) nothing is plausible, so nothing is refused; an invalid source
/// reading is then left to strict decoding to report.
std::optional<std::string> WrongSourceReason(const ReadingsJudgement& readings, EncodingId source, EncodingId target);

/// What `--from auto` reads a file as.
struct SourceGuess
{
    std::optional<EncodingId> encoding; // empty when undecided
    bool asciiOnly = false;             // no byte above 0x7F: every reading gives the same text (encoding is UTF-8)
    std::string reason;                 // why it was decided, or why not; for people
};

/// Which of GB, BIG5 and UTF-8 the bytes plausibly are. A UTF-8 byte-order mark decides UTF-8, and
/// ASCII-only bytes are UTF-8 (asciiOnly). Otherwise the one plausible reading wins (of two, the
/// one with a score higher by kDecisiveScore); failing that, the one undecided reading when the
/// others are invalid or implausible. Anything else is undecided, with the reason: too few Chinese
/// characters, valid in none of the three, or no plausible reading.
SourceGuess GuessSourceEncoding(ByteView bytes);

} // namespace veltran
