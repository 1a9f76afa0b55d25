#include "SourceRefusal.h"

#include <memory>
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

// The sentence with its one "{}" replaced by the count. Kept as one literal, the sentence stays whole
// in the program (concatenated literals may be stored in pieces, which tools reading the binary
// take for misspelt words).
std::string WithCount(std::string_view sentence, std::size_t n)
{
    const std::size_t at = sentence.find("{}");
    return std::string(sentence.substr(0, at)) + Count(n) + std::string(sentence.substr(at + 2));
}

// "1 symbol", "8 symbols".
std::string Counted(std::size_t n, std::string_view singular)
{
    std::string text = Count(n) + " ";
    text += singular;
    return text + (n == 1 ? "" : "s");
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

// The same sentences in Chinese, for the window and the run log.
std::string ChineseKinds(const CharacterTally& t)
{
    std::vector<std::string> parts;
    if (t.common > 0 && t.rare > 0)
        parts.push_back(Count(t.common) + " 个常用字和 " + Count(t.rare) + " 个生僻字");
    else if (t.Chinese() > 0)
        parts.push_back(Count(t.Chinese()) + (t.common > 0 ? " 个常用字" : " 个生僻字"));
    if (t.symbols > 0)
        parts.push_back(Count(t.symbols) + " 个符号");
    if (t.foreign > 0)
        parts.push_back(Count(t.foreign) + " 个其他字符");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : "、") + parts[i];
    return text;
}

std::string ChineseDeclaredReadingText(EncodingId declared, const ReadingJudgement& reading)
{
    const std::string name = Name(declared);
    if (!reading.valid)
        return "按 " + name + " 读则字节无效";
    const CharacterTally& t = reading.tally;
    std::string text =
        "按 " + name + " 读则是" + (t.rare * 2 >= t.NonAscii() ? std::string("生僻字") : " " + ChineseKinds(t));
    if (t.repeated > 0)
        text += "，其中 " + Count(t.repeated) + " 个汉字与前一个相同";
    return text;
}

std::string ChineseReading(EncodingId encoding, const ReadingJudgement& reading)
{
    if (!reading.valid)
        return "不是有效的 " + Name(encoding) + " 编码";
    const CharacterTally& t = reading.tally;
    if (t.Chinese() == 0)
        return Count(t.NonAscii()) + " 个非 ASCII 字符中没有汉字";
    const std::string set = encoding == EncodingId::Utf8 ? "常用字" : " " + Name(encoding) + " 常用字";
    return Count(t.Chinese()) + " 个汉字中有 " + Count(t.common) + " 个是" + set;
}

std::string ChineseRefusal(const SourceRefusal& refusal)
{
    const ReadingsJudgement& readings = refusal.readings;
    const std::string seen = Name(refusal.seen);
    const std::string cannotTell = "无法判断编码：";
    switch (refusal.kind) {
    case RefusalKind::ReadsAsAnother: {
        const EncodingId declared = refusal.declared.value_or(refusal.target);
        const std::string looks = refusal.seen == refusal.target ? "看起来已是 " + seen + " 编码"
                                                                 : "看起来是 " + seen + " 编码，不是 " + Name(declared);
        return looks + "：" + ChineseReading(refusal.seen, readings.Of(refusal.seen)) + "，" +
               ChineseDeclaredReadingText(declared, readings.Of(declared));
    }
    case RefusalKind::AlreadyTarget:
        return "看起来已是 " + seen + " 编码：" + ChineseReading(refusal.seen, readings.Of(refusal.seen));
    case RefusalKind::TooFewCharacters:
        return cannotTell + "汉字太少（" + Count(refusal.chineseCharacters) + " 个），分不清 GB、BIG5 和 UTF-8";
    case RefusalKind::ValidInNone:
        return cannotTell + "按 GB、BIG5 和 UTF-8 读都不是有效的字节";
    case RefusalKind::NoTextReading: {
        std::string all;
        for (const EncodingId encoding : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8})
            all += (all.empty() ? "" : "；") + Name(encoding) + "：" + ChineseReading(encoding, readings.Of(encoding));
        return cannotTell + "没有一种读法像中文文本（" + all + "）";
    }
    case RefusalKind::ReadsBothWays:
        return cannotTell + "按 " + seen + " 和 " + Name(refusal.runnerUp) + " 读都像中文（" + seen + "：" +
               ChineseReading(refusal.seen, readings.Of(refusal.seen)) + "；" + Name(refusal.runnerUp) + "：" +
               ChineseReading(refusal.runnerUp, readings.Of(refusal.runnerUp)) + "）";
    }
    return {};
}

std::string EnglishReading(EncodingId encoding, const ReadingJudgement& reading)
{
    if (!reading.valid)
        return "not valid (" + reading.decoding.message + ")";
    const CharacterTally& t = reading.tally;
    if (t.Chinese() == 0)
        return "none of its " + Count(t.NonAscii()) + " characters beyond ASCII is Chinese";
    const std::string set = encoding == EncodingId::Utf8 ? "common" : "common " + Name(encoding);
    return Count(t.common) + " of " + Count(t.Chinese()) + " Chinese characters are " + set + " characters";
}

std::string EnglishRefusal(const SourceRefusal& refusal)
{
    const ReadingsJudgement& readings = refusal.readings;
    const std::string seen = Name(refusal.seen);
    switch (refusal.kind) {
    case RefusalKind::ReadsAsAnother: {
        const EncodingId declared = refusal.declared.value_or(refusal.target);
        const std::string looks = refusal.seen == refusal.target ? "looks like " + seen + " already"
                                                                 : "looks like " + seen + ", not " + Name(declared);
        return looks + ": " + EnglishReading(refusal.seen, readings.Of(refusal.seen)) + ", " +
               DeclaredReadingText(declared, readings.Of(declared));
    }
    case RefusalKind::AlreadyTarget:
        return "looks like " + seen + " already: " + EnglishReading(refusal.seen, readings.Of(refusal.seen));
    case RefusalKind::TooFewCharacters:
        return CannotTell(
            WithCount("too few Chinese characters ({}) to tell GB, BIG5 and UTF-8 apart", refusal.chineseCharacters));
    case RefusalKind::ValidInNone:
        return CannotTell("valid in none of GB, BIG5 and UTF-8: " + readings.Of(EncodingId::Gb).decoding.message +
                          "; " + readings.Of(EncodingId::Big5).decoding.message + "; " +
                          readings.Of(EncodingId::Utf8).decoding.message);
    case RefusalKind::NoTextReading:
        return CannotTell("no reading looks like Chinese text (" + AllReadings(readings) + ")");
    case RefusalKind::ReadsBothWays:
        return CannotTell("reads as both " + seen + " and " + Name(refusal.runnerUp) + " (" + seen + ": " +
                          EnglishReading(refusal.seen, readings.Of(refusal.seen)) + "; " + Name(refusal.runnerUp) +
                          ": " + EnglishReading(refusal.runnerUp, readings.Of(refusal.runnerUp)) + ")");
    }
    return {};
}

} // namespace

Status RefusalStatus(const SourceRefusal& refusal)
{
    return Status::Failure(refusal.Code(), {.refusal = std::make_shared<const SourceRefusal>(refusal)});
}

StatusCode SourceRefusal::Code() const
{
    const bool utf8Seen = kind == RefusalKind::ReadsAsAnother && seen == EncodingId::Utf8;
    return utf8Seen && declared && *declared != EncodingId::Utf8 ? StatusCode::AlreadyUtf8 : StatusCode::WrongEncoding;
}

std::string DescribeReading(EncodingId encoding, const ReadingJudgement& reading, Language language)
{
    return language == Language::Chinese ? ChineseReading(encoding, reading) : EnglishReading(encoding, reading);
}

std::string DescribeRefusal(const SourceRefusal& refusal, Language language)
{
    return language == Language::Chinese ? ChineseRefusal(refusal) : EnglishRefusal(refusal);
}

} // namespace veltran
