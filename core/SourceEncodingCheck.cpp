#include "SourceEncodingCheck.h"

#include "TextCodecs.h"

#include <algorithm>
#include <array>
#include <vector>

namespace veltran {
namespace {

constexpr std::array<EncodingId, 3> kEncodings{EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8};

std::string Name(EncodingId encoding)
{
    return std::string(EncodingName(encoding));
}

std::vector<EncodingId> WithVerdict(const ReadingsJudgement& readings, Plausibility verdict)
{
    std::vector<EncodingId> found;
    for (const EncodingId encoding : kEncodings)
        if (readings.Of(encoding).verdict == verdict)
            found.push_back(encoding);
    return found;
}

std::string VerdictWord(Plausibility verdict)
{
    switch (verdict) {
    case Plausibility::Invalid:
        return "invalid";
    case Plausibility::Undecided:
        return "undecided";
    case Plausibility::Implausible:
        return "implausible";
    case Plausibility::Plausible:
        return "plausible";
    }
    return "";
}

// "GB implausible, BIG5 invalid, UTF-8 undecided"
std::string Verdicts(const ReadingsJudgement& readings)
{
    std::string text;
    for (const EncodingId encoding : kEncodings)
        text += (text.empty() ? "" : ", ") + Name(encoding) + " " + VerdictWord(readings.Of(encoding).verdict);
    return text;
}

SourceGuess Decided(EncodingId encoding, std::string reason)
{
    return SourceGuess{encoding, false, std::move(reason)};
}

SourceGuess Undecided(std::string reason)
{
    return SourceGuess{std::nullopt, false, std::move(reason)};
}

SourceGuess GuessFromReadings(const ReadingsJudgement& readings)
{
    std::vector<EncodingId> plausible = WithVerdict(readings, Plausibility::Plausible);
    if (plausible.size() == 1)
        return Decided(plausible[0], "plausible only as " + Name(plausible[0]));
    if (plausible.size() > 1) {
        // Short text can read well both ways; only a clear lead in score decides between them.
        std::sort(plausible.begin(), plausible.end(), [&](EncodingId a, EncodingId b) {
            return Score(readings.Of(a).tally) > Score(readings.Of(b).tally);
        });
        if (Score(readings.Of(plausible[0]).tally) - Score(readings.Of(plausible[1]).tally) < kDecisiveScore)
            return Undecided("reads as both " + Name(plausible[0]) + " and " + Name(plausible[1]));
        return Decided(plausible[0], "reads better as " + Name(plausible[0]) + " than as " + Name(plausible[1]));
    }

    const std::vector<EncodingId> invalid = WithVerdict(readings, Plausibility::Invalid);
    if (invalid.size() == kEncodings.size())
        return Undecided("valid in none of GB, BIG5 and UTF-8: " + readings.Of(EncodingId::Gb).decoding.message + "; " +
                         readings.Of(EncodingId::Big5).decoding.message + "; " +
                         readings.Of(EncodingId::Utf8).decoding.message);
    // Short text can still be told apart when the other readings are ruled out: by strict decoding,
    // or by enough characters that real text would not hold.
    const std::vector<EncodingId> undecided = WithVerdict(readings, Plausibility::Undecided);
    if (undecided.size() == 1)
        return Decided(undecided[0], "only " + Name(undecided[0]) + " is not ruled out (" + Verdicts(readings) + ")");

    std::size_t mostJudged = 0;
    for (const EncodingId encoding : kEncodings)
        mostJudged = std::max(mostJudged, readings.Of(encoding).tally.Judged());
    if (mostJudged < kMinJudged)
        return Undecided("too few Chinese characters (" + std::to_string(mostJudged) +
                         ") to tell GB, BIG5 and UTF-8 apart");
    return Undecided("no reading looks like Chinese text (" + Verdicts(readings) + ")");
}

} // namespace

std::optional<std::string> WrongSourceReason(const ReadingsJudgement& readings, EncodingId source, EncodingId target)
{
    const Plausibility sourceVerdict = readings.Of(source).verdict;
    if (sourceVerdict != Plausibility::Invalid && sourceVerdict != Plausibility::Implausible)
        return std::nullopt;
    if (source != target && readings.Of(target).verdict == Plausibility::Plausible)
        return "looks like " + Name(target) + " already";
    std::vector<EncodingId> others;
    for (const EncodingId encoding : WithVerdict(readings, Plausibility::Plausible))
        if (encoding != source)
            others.push_back(encoding);
    if (others.empty())
        return std::nullopt;
    std::string reason = "looks like " + Name(others[0]);
    if (others.size() > 1)
        reason += " or " + Name(others[1]);
    return reason + ", not " + Name(source);
}

SourceGuess GuessSourceEncoding(ByteView bytes)
{
    if (HasUtf8Bom(bytes))
        return Decided(EncodingId::Utf8, "starts with the UTF-8 byte-order mark");
    if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte < 0x80; }))
        return SourceGuess{EncodingId::Utf8, true, "ASCII only: every reading gives the same text"};
    return GuessFromReadings(JudgeReadings(bytes));
}

} // namespace veltran
