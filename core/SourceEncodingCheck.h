#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "ReadingPlausibility.h"
#include "SourceRefusal.h"
#include "Status.h"

#include <optional>
#include <string>

namespace veltran {

/// A reading this many bits likelier than another (65,536 times as likely) is clearly the better
/// one; short text whose readings are closer is not told apart.
inline constexpr std::int64_t kClearMargin = 16;

/// Whether `reading`, in `encoding`, is evidence enough to refuse another reading for: it looks like
/// text, or it is valid UTF-8 with 20 or more characters beyond ASCII, which GB or BIG5 text that long
/// almost never is (a list of rare names converted once reads like no prose in any encoding).
bool CredibleReading(EncodingId encoding, const ReadingJudgement& reading);

/// Why a file must not be converted from its declared source encoding, or nothing when it may be.
/// The file is refused (ReadsAsAnother) when another reading is credible (CredibleReading) and the source reading
/// is either not valid or clearly less likely (by kClearMargin): a second run over converted files.
/// `seen` is the likeliest such reading. With too little evidence (short text, ASCII only) no reading
/// is clearly better, so nothing is refused; an invalid source reading that no other reading beats
/// is left to strict decoding to report.
std::optional<SourceRefusal> WrongSource(const ReadingsJudgement& readings, EncodingId source, EncodingId target);

/// What `--from auto` reads a file as.
struct SourceGuess
{
    std::optional<EncodingId> encoding;   // empty when undecided
    bool asciiOnly = false;               // no byte above 0x7F: every reading gives the same text (encoding is UTF-8)
    std::string reason;                   // why it was decided, or why not; for people
    std::optional<SourceRefusal> refusal; // when undecided, what was seen
};

/// Which of GB, BIG5 and UTF-8 the bytes are. A UTF-8 byte-order mark decides UTF-8, and ASCII-only
/// bytes are UTF-8 (asciiOnly). Otherwise the likeliest valid reading wins when it looks like text
/// and every other valid reading is less likely by kClearMargin. Anything else is undecided:
/// valid in none of the three, too few Chinese characters (fewer than four in every reading), no
/// reading that looks like text, or two readings about as likely.
SourceGuess GuessSourceEncoding(ByteView bytes);

/// GuessSourceEncoding's decision from the judged readings of bytes that are neither ASCII only nor
/// marked as UTF-8.
SourceGuess GuessFromReadings(const ReadingsJudgement& readings);

/// What a conversion reads a file's bytes as.
struct SourceReading
{
    EncodingId encoding = EncodingId::Gb;
    bool asciiOnly = false; // no byte above 0x7F
};

/// How a conversion reads a file, or why it must not be converted (nothing on disk has changed then).
struct SourceChoice
{
    std::optional<SourceReading> reading;
    std::optional<SourceRefusal> refusal; // when there is no reading
};

/// The reading a conversion uses for a file's bytes. A UTF-8 byte-order mark decides UTF-8.
/// With a `declared` source the file is refused as WrongSource says, unless `trustDeclared`: then
/// the declared encoding is used whatever the bytes look like, and strict decoding has the last say.
/// Without (`--from auto`), GuessSourceEncoding decides; an undecided file is refused, and so is a
/// file already in the target encoding with no rules to apply (AlreadyTarget). ASCII-only bytes are
/// read as the declared source, or without one as the target, which leaves them as they are.
SourceChoice ChooseSource(ByteView bytes, std::optional<EncodingId> declared, EncodingId target, bool rulesOn,
                          bool trustDeclared = false);

/// ChooseSource with a refusal as its Status: the refusal's Code() and its DescribeRefusal sentence.
Result<SourceReading> ChooseSourceReading(ByteView bytes, std::optional<EncodingId> declared, EncodingId target,
                                          bool rulesOn, bool trustDeclared = false);

} // namespace veltran
