#include "SourceEncodingCheck.h"

#include "TextCodecs.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltran {
namespace {

constexpr std::array<EncodingId, 3> kEncodings{EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8};

// Fewer characters beyond ASCII than this are too few to tell the readings apart by likelihood alone:
// a title of two or three characters can read well more than one way.
constexpr std::size_t kMinCharactersToTell = 4;

// Valid UTF-8 with this many characters beyond ASCII is no accident, whatever the characters: a
// GB or BIG5 character is valid UTF-8 about one time in ten at best, and twenty in a row almost never.
constexpr std::size_t kUtf8BeyondChance = 20;

std::string Name(EncodingId encoding)
{
    return std::string(EncodingName(encoding));
}

// The valid readings, likeliest first.
std::vector<EncodingId> ValidByLikelihood(const ReadingsJudgement& readings)
{
    std::vector<EncodingId> valid;
    for (const EncodingId encoding : kEncodings)
        if (readings.Of(encoding).valid)
            valid.push_back(encoding);
    std::stable_sort(valid.begin(), valid.end(),
                     [&](EncodingId a, EncodingId b) { return readings.Of(a).cost < readings.Of(b).cost; });
    return valid;
}

SourceGuess Undecided(SourceRefusal refusal)
{
    SourceGuess guess;
    guess.reason = DescribeRefusal(refusal);
    guess.refusal = std::move(refusal);
    return guess;
}

bool AsciiOnly(ByteView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte < 0x80; });
}

// The three readings WrongSource decides on, or none when the declared reading stands because no other
// reading could refuse it: WrongSource refuses only for a credible reading, and each other one is
// invalid or reads unlike text. The others are judged first, whole: a wrong reading is mostly invalid
// within its first characters, or else reads unlike text, so the declared reading is seldom judged.
std::optional<ReadingsJudgement> ReadingsAgainstDeclared(ByteView bytes, EncodingId declared)
{
    const EncodingId family = EncodingFamily(declared);
    ReadingsJudgement readings;
    bool contestable = false;
    for (const EncodingId other : kEncodings) {
        if (other == family)
            continue;
        const ReadingJudgement& rival = readings.Of(other) = JudgeReading(other, bytes);
        contestable = contestable || CredibleReading(other, rival);
    }
    if (!contestable)
        return std::nullopt;
    readings.Of(family) = JudgeReading(family, bytes);
    return readings;
}

// The guesses that need no judgement of the readings: a byte-order mark, or nothing beyond ASCII.
std::optional<SourceGuess> EvidentGuess(ByteView bytes)
{
    if (HasUtf8Bom(bytes))
        return SourceGuess{EncodingId::Utf8, false, "starts with the UTF-8 byte-order mark", {}};
    if (AsciiOnly(bytes))
        return SourceGuess{EncodingId::Utf8, true, "ASCII only: every reading gives the same text", {}};
    return std::nullopt;
}

SourceChoice Refused(SourceRefusal refusal)
{
    return SourceChoice{std::nullopt, std::move(refusal)};
}

SourceChoice Reading(EncodingId encoding, bool asciiOnly = false)
{
    return SourceChoice{SourceReading{encoding, asciiOnly}, std::nullopt};
}

} // namespace

SourceGuess GuessFromReadings(const ReadingsJudgement& readings)
{
    SourceRefusal refusal;
    refusal.readings = readings;
    const std::vector<EncodingId> valid = ValidByLikelihood(readings);
    if (valid.empty()) {
        refusal.kind = RefusalKind::ValidInNone;
        return Undecided(std::move(refusal));
    }
    const EncodingId best = valid[0];
    const ReadingJudgement& judged = readings.Of(best);
    refusal.seen = best;
    if (valid.size() > 1 && judged.tally.NonAscii() < kMinCharactersToTell) {
        refusal.kind = RefusalKind::TooFewCharacters;
        refusal.chineseCharacters = judged.tally.Chinese();
        return Undecided(std::move(refusal));
    }
    if (!judged.LooksLikeText()) {
        refusal.kind = RefusalKind::NoTextReading;
        return Undecided(std::move(refusal));
    }
    if (valid.size() == 1)
        return SourceGuess{best, false, "only " + Name(best) + " is valid: " + DescribeReading(best, judged), {}};
    if (readings.Of(valid[1]).cost - judged.cost < kClearMargin) {
        refusal.kind = RefusalKind::ReadsBothWays;
        refusal.runnerUp = valid[1];
        return Undecided(std::move(refusal));
    }
    return SourceGuess{best, false, "reads as " + Name(best) + ": " + DescribeReading(best, judged), {}};
}

std::optional<SourceRefusal> WrongSource(const ReadingsJudgement& readings, EncodingId source, EncodingId target)
{
    const ReadingJudgement& declared = readings.Of(source);
    for (const EncodingId other : ValidByLikelihood(readings)) {
        if (other == EncodingFamily(source))
            return std::nullopt; // the declared reading is the likeliest of those left
        const ReadingJudgement& seen = readings.Of(other);
        if (!CredibleReading(other, seen))
            continue;
        if (declared.valid && declared.cost - seen.cost < kClearMargin)
            return std::nullopt;
        SourceRefusal refusal;
        refusal.kind = RefusalKind::ReadsAsAnother;
        refusal.declared = source;
        refusal.target = target;
        refusal.seen = other;
        refusal.readings = readings;
        return refusal;
    }
    return std::nullopt;
}

bool CredibleReading(EncodingId encoding, const ReadingJudgement& reading)
{
    return reading.LooksLikeText() ||
           (encoding == EncodingId::Utf8 && reading.valid && reading.tally.NonAscii() >= kUtf8BeyondChance);
}

SourceGuess GuessSourceEncoding(ByteView bytes)
{
    if (std::optional<SourceGuess> evident = EvidentGuess(bytes))
        return std::move(*evident);
    return GuessFromReadings(JudgeReadings(bytes));
}

SourceChoice ChooseSource(ByteView bytes, std::optional<EncodingId> declared, EncodingId target, bool rulesOn,
                          bool trustDeclared)
{
    if (declared) {
        if (HasUtf8Bom(bytes))
            return Reading(EncodingId::Utf8);
        if (AsciiOnly(bytes))
            return Reading(*declared, true);
        if (trustDeclared)
            return Reading(*declared);
        const std::optional<ReadingsJudgement> readings = ReadingsAgainstDeclared(bytes, *declared);
        if (!readings)
            return Reading(*declared);
        if (std::optional<SourceRefusal> refusal = WrongSource(*readings, *declared, target))
            return Refused(std::move(*refusal));
        return Reading(*declared);
    }
    // Judged once: a refusal of a file already in the target tells the same readings the guess weighed.
    std::optional<SourceGuess> evident = EvidentGuess(bytes);
    std::optional<ReadingsJudgement> readings;
    if (!evident)
        readings = JudgeReadings(bytes);
    SourceGuess guess = evident ? std::move(*evident) : GuessFromReadings(*readings);
    if (!guess.encoding) {
        SourceRefusal refusal = std::move(*guess.refusal);
        refusal.target = target;
        return Refused(std::move(refusal));
    }
    if (guess.asciiOnly)
        return Reading(target, true);
    if (*guess.encoding == EncodingFamily(target) && !rulesOn) {
        SourceRefusal refusal;
        refusal.kind = RefusalKind::AlreadyTarget;
        refusal.target = target;
        refusal.seen = target;
        refusal.readings = readings ? std::move(*readings) : JudgeReadings(bytes);
        return Refused(std::move(refusal));
    }
    return Reading(*guess.encoding);
}

Result<SourceReading> ChooseSourceReading(ByteView bytes, std::optional<EncodingId> declared, EncodingId target,
                                          bool rulesOn, bool trustDeclared)
{
    const SourceChoice choice = ChooseSource(bytes, declared, target, rulesOn, trustDeclared);
    if (choice.reading)
        return *choice.reading;
    return RefusalStatus(*choice.refusal);
}

} // namespace veltran
