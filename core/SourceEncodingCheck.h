#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "ReadingPlausibility.h"
#include "Status.h"

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

/// What a conversion reads a file's bytes as.
struct SourceReading
{
    EncodingId encoding = EncodingId::Gb;
    bool asciiOnly = false; // no byte above 0x7F
};

/// The reading a conversion uses for a file's bytes, or why the file must not be converted (nothing
/// on disk has changed then). A UTF-8 byte-order mark decides UTF-8.
/// With a `declared` source, the file is refused (WrongEncoding) with WrongSourceReason's reason. A
/// file declared GB or BIG5 whose reading is not plausible but which is valid UTF-8 beyond ASCII is
/// refused as "the file is already UTF-8" (AlreadyUtf8), unless its UTF-8 reading holds rare or odd
/// characters and scores below the declared one: short GB text that happens to be valid UTF-8 (x酞y)
/// converts, while short UTF-8 text is never garbled. Otherwise the declared encoding is used, whose
/// strict decoding may still fail.
/// Without (`--from auto`), GuessSourceEncoding decides; an undecided file fails (WrongEncoding) with
/// "cannot tell the encoding: " and the guess's reason, and a file already in the target encoding
/// with no rules to apply fails with "looks like <target> already". ASCII-only bytes are read as the
/// target, which leaves them as they are.
Result<SourceReading> ChooseSourceReading(ByteView bytes, std::optional<EncodingId> declared, EncodingId target,
                                          bool rulesOn);

} // namespace veltran
