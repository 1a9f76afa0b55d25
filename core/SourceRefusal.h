#pragma once

#include "EncodingId.h"
#include "Language.h"
#include "ReadingPlausibility.h"
#include "Status.h"

#include <optional>
#include <string>

namespace veltran {

/// Why the encoding check refused a file, as what it saw rather than as a sentence, so that each
/// audience can be told in its own words.
enum class RefusalKind
{
    ReadsAsAnother,   // the declared reading is not valid or clearly less likely than `seen`
    AlreadyTarget,    // without a declared source: reads as the target, and no rules are to apply
    TooFewCharacters, // without a declared source: too little Chinese text to tell the readings apart
    ValidInNone,      // without a declared source: the bytes are valid in none of GB, BIG5 and UTF-8
    NoTextReading,    // without a declared source: no valid reading looks like real text
    ReadsBothWays,    // without a declared source: `seen` and `runnerUp` are about as likely
};

/// A refusal and the readings it was decided on.
struct SourceRefusal
{
    RefusalKind kind = RefusalKind::ReadsAsAnother;
    std::optional<EncodingId> declared; // the source given, if any
    EncodingId target = EncodingId::Utf8;
    EncodingId seen = EncodingId::Gb;     // the reading that looks right, or the likeliest one
    EncodingId runnerUp = EncodingId::Gb; // ReadsBothWays: the other likely reading
    ReadingsJudgement readings;
    std::size_t chineseCharacters = 0; // TooFewCharacters: the most any reading holds

    /// AlreadyUtf8 for a GB or BIG5 file that reads as UTF-8, WrongEncoding for every other refusal.
    StatusCode Code() const;
};

/// The refusal as a failure: its Code(), with the refusal, which its sentences in each language tell.
Status RefusalStatus(const SourceRefusal& refusal);

/// The refusal as a sentence: what the file looks like and what the readings showed, e.g. "looks like
/// BIG5 already: 212 of 230 Chinese characters are common BIG5 characters, read as GB they are rare",
/// or in Chinese "看起来已是 BIG5 编码：230 个汉字中有 212 个是 BIG5 常用字，按 GB 读则是生僻字".
std::string DescribeRefusal(const SourceRefusal& refusal, Language language = Language::English);

/// What one reading shows: "18 of 20 Chinese characters are common GB characters", or in Chinese
/// "20 个汉字中有 18 个是 GB 常用字".
std::string DescribeReading(EncodingId encoding, const ReadingJudgement& reading,
                            Language language = Language::English);

} // namespace veltran
