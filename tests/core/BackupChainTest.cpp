// Runs in a chain (GB to UTF-8, then UTF-8 to BIG5) under each way of naming backups: numbered backups
// keep the first original, and a simple backup that replaces one holding other bytes says so.
#include "FileConverter.h"

#include "ChineseTextFixtures.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ChainCase
{
    const char* name;
    BackupMode mode;
    std::vector<std::string> before;    // files beside a.htm before the first run, holding "older"
    std::map<std::string, Bytes> after; // every file of the folder afterwards, by name
    bool firstReplacedOther;            // the first run's notes: an older backup with other bytes replaced
    bool secondReplacedOther;           // the second run's
};

class BackupChain : public ::testing::TestWithParam<ChainCase>
{
};

ConvertOptions Step(EncodingId source, EncodingId target, BackupMode mode)
{
    ConvertOptions options;
    options.text.source = source;
    options.text.target = target;
    options.disk.backupMode = mode;
    return options;
}

TEST_P(BackupChain, KeepsWhatTheModeKeeps)
{
    const ChainCase& c = GetParam();
    TempDir dir;
    const fs::path file = dir / "a.htm";
    WriteFile(file, fixtures::kGbSentence);
    for (const std::string& name : c.before)
        WriteFile(dir / name, "older");

    ConversionNotes first;
    ASSERT_TRUE(
        ConvertFile(file, Step(EncodingId::Gb, EncodingId::Utf8, c.mode), RuleTable(), SystemFileCalls(), &first));
    ConversionNotes second;
    ASSERT_TRUE(
        ConvertFile(file, Step(EncodingId::Utf8, EncodingId::Big5, c.mode), RuleTable(), SystemFileCalls(), &second));

    std::map<std::string, Bytes> after;
    for (const std::string& name : dir.Entries())
        after[name] = ReadFile(dir / name);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(first.replacedOtherBackup, c.firstReplacedOther);
    EXPECT_EQ(second.replacedOtherBackup, c.secondReplacedOther);
    EXPECT_EQ(ReadFile(second.backup), fixtures::kUtf8SimplifiedSentence) << second.backup;
}

const Bytes kOlder = test::Bytes("older");

INSTANTIATE_TEST_SUITE_P(
    FileConverter, BackupChain,
    ::testing::Values(ChainCase{"SimpleReplacesAndSaysSo",
                                BackupMode::Simple,
                                {},
                                {{"a.htm", fixtures::kBig5Sentence}, {"a.htm.bak", fixtures::kUtf8SimplifiedSentence}},
                                false,
                                true},
                      ChainCase{"NumberedKeepsEveryOriginal",
                                BackupMode::Numbered,
                                {},
                                {{"a.htm", fixtures::kBig5Sentence},
                                 {"a.htm.bak.~1~", fixtures::kGbSentence},
                                 {"a.htm.bak.~2~", fixtures::kUtf8SimplifiedSentence}},
                                false,
                                false},
                      ChainCase{"ExistingWithoutNumberedBackupsIsSimple",
                                BackupMode::Existing,
                                {"a.htm.bak"},
                                {{"a.htm", fixtures::kBig5Sentence}, {"a.htm.bak", fixtures::kUtf8SimplifiedSentence}},
                                true,
                                true},
                      ChainCase{"ExistingWithNumberedBackupsNumbersOnFromTheHighest",
                                BackupMode::Existing,
                                {"a.htm.bak", "a.htm.bak.~3~", "a.htm.bak.~04~", "a.htm.bak.~x~"},
                                {{"a.htm", fixtures::kBig5Sentence},
                                 {"a.htm.bak", kOlder},
                                 {"a.htm.bak.~3~", kOlder},
                                 {"a.htm.bak.~04~", kOlder},
                                 {"a.htm.bak.~x~", kOlder},
                                 {"a.htm.bak.~4~", fixtures::kGbSentence},
                                 {"a.htm.bak.~5~", fixtures::kUtf8SimplifiedSentence}},
                                false,
                                false}),
    [](const auto& info) { return std::string(info.param.name); });

// Two runs from the same source to different targets, one after the other (or overlapping over a
// site): the second finds a page the first converted and must not convert it again, even where the
// page reads plausibly as its source, since its backup would then lose the original.
TEST(BackupChain, ASecondRunToAnotherTargetLeavesAConvertedPageAndItsBackup)
{
    for (const auto& [first, second] :
         {std::pair{EncodingId::Big5, EncodingId::Utf8}, std::pair{EncodingId::Utf8, EncodingId::Big5},
          std::pair{EncodingId::Big5, EncodingId::Gb}}) {
        SCOPED_TRACE(testing::Message() << EncodingName(first) << " then " << EncodingName(second));
        for (const BackupMode mode : {BackupMode::Simple, BackupMode::Numbered}) {
            TempDir dir;
            const fs::path file = dir / "a.htm";
            WriteFile(file, fixtures::kGbAlsoCommonBig5);
            ConversionNotes notes;
            ASSERT_TRUE(ConvertFile(file, Step(EncodingId::Gb, first, mode), RuleTable(), SystemFileCalls(), &notes));
            const Bytes converted = ReadFile(file);
            ConvertOptions again = Step(EncodingId::Gb, second, mode);
            again.text.sourceMode = SourceMode::Trusted; // the user's word does not outweigh the backup
            const Status result = ConvertFile(file, again, RuleTable());
            EXPECT_EQ(result.code, StatusCode::ConvertedFromBackup) << result.message;
            EXPECT_EQ(ReadFile(file), converted);
            EXPECT_EQ(ReadFile(notes.backup), fixtures::kGbAlsoCommonBig5);
            EXPECT_EQ(dir.Entries().size(), 2u);
        }
    }
}

} // namespace
} // namespace veltran
