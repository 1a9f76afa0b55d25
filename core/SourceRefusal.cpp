#include "SourceRefusal.h"

#include <vector>

namespace veltran {
namespace {

std::string Name(EncodingId encoding)
{
    return std::string(EncodingName(encoding));
}

std::string Count(std::size_t n)
{
    return std::to_string(n);
}

// "1 symbol", "8 symbols".
std::string Counted(std::size_t n, const std::string& singular)
{
    return Count(n) + " " + singular + (n == 1 ? "" : "s");
}

// "2 common and 1 rare Chinese characters, 8 symbols and 4 other characters": the kinds that occur.
std::string Kinds(const CharacterTally& t)
{
    std::vector<std::string> parts;
    if (t.common > 0 && t.rare > 0)
        parts.push_back(Count(t.common) + " common and " + Counted(t.rare, "rare Chinese character"));
    else if (t.Chinese() > 0)
        parts.push_back(Counted(t.Chinese(), t.common > 0 ? "common Chinese character" : "rare Chinese character"));
    if (t.symbols > 0)
        parts.push_back(Counted(t.symbols, "symbol"));
    if (t.foreign > 0)
        parts.push_back(Counted(t.foreign, "other character"));
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

// What the declared reading makes of the characters that another reading reads well.
std::string DeclaredReadingText(EncodingId declared, const ReadingJudgement& reading)
{
    const std::string name = Name(declared);
    if (!reading.valid)
        return "read as " + name + " the bytes are not valid";
    const CharacterTally& t = reading.tally;
    std::string text = "read as " + name + " they are ";
    text += t.rare * 2 >= t.NonAscii() ? std::string("rare") : Kinds(t);
    if (t.repeated > 0)
        text += ", " + Counted(t.repeated, "Chinese character") + (t.repeated == 1 ? " repeats" : " repeat") +
                " the one before";
    return text;
}

std::string CannotTell(const std::string& why)
{
    return "cannot tell the encoding: " + why;
}

// "GB: 18 of 20 Chinese characters are common GB characters, BIG5: not valid, UTF-8: not valid"
std::string AllReadings(const ReadingsJudgement& readings)
{
    std::string text;
    for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8})
        text += (text.empty() ? "" : ", ") + Name(encoding) + ": " + DescribeReading(encoding, readings.Of(encoding));
    return text;
}

} // namespace

StatusCode SourceRefusal::Code() const
{
    const bool utf8Seen = kind == RefusalKind::ReadsAsAnother && seen == EncodingId::Utf8;
    return utf8Seen && declared && *declared != EncodingId::Utf8 ? StatusCode::AlreadyUtf8 : StatusCode::WrongEncoding;
}

std::string DescribeReading(EncodingId encoding, const ReadingJudgement& reading)
{
    if (!reading.valid)
        return "not valid (" + reading.decoding.message + ")";
    const CharacterTally& t = reading.tally;
    if (t.Chinese() == 0)
        return "none of its " + Count(t.NonAscii()) + " characters beyond ASCII is Chinese";
    const std::string set = encoding == EncodingId::Utf8 ? "common" : "common " + Name(encoding);
    return Count(t.common) + " of " + Count(t.Chinese()) + " Chinese characters are " + set + " characters";
}

std::string DescribeRefusal(const SourceRefusal& refusal)
{
    const ReadingsJudgement& readings = refusal.readings;
    const std::string seen = Name(refusal.seen);
    switch (refusal.kind) {
    case RefusalKind::ReadsAsAnother: {
        const EncodingId declared = refusal.declared.value_or(refusal.target);
        const std::string looks = refusal.seen == refusal.target ? "looks like " + seen + " already"
                                                                 : "looks like " + seen + ", not " + Name(declared);
        return looks + ": " + DescribeReading(refusal.seen, readings.Of(refusal.seen)) + ", " +
               DeclaredReadingText(declared, readings.Of(declared));
    }
    case RefusalKind::AlreadyTarget:
        return "looks like " + seen + " already: " + DescribeReading(refusal.seen, readings.Of(refusal.seen));
    case RefusalKind::TooFewCharacters:
        return CannotTell("too few Chinese characters (" + Count(refusal.chineseCharacters) +
                          ") to tell GB, BIG5 and UTF-8 apart");
    case RefusalKind::ValidInNone:
        return CannotTell("valid in none of GB, BIG5 and UTF-8: " + readings.Of(EncodingId::Gb).decoding.message +
                          "; " + readings.Of(EncodingId::Big5).decoding.message + "; " +
                          readings.Of(EncodingId::Utf8).decoding.message);
    case RefusalKind::NoTextReading:
        return CannotTell("no reading looks like Chinese text (" + AllReadings(readings) + ")");
    case RefusalKind::ReadsBothWays:
        return CannotTell("reads as both " + seen + " and " + Name(refusal.runnerUp) + " (" + seen + ": " +
                          DescribeReading(refusal.seen, readings.Of(refusal.seen)) + "; " + Name(refusal.runnerUp) +
                          ": " + DescribeReading(refusal.runnerUp, readings.Of(refusal.runnerUp)) + ")");
    }
    return {};
}

} // namespace veltran
