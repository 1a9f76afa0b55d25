#include "FileConverter.h"

#include "ChineseTextFixtures.h"
#include "ConversionFixtures.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltran {
namespace {

using test::Bytes;
using test::kBig5JianTi;
using test::kBom;
using test::kGbJianTi;
using test::kGbJianTiZhongWen;
using test::kUtf8JianTi;
using test::kUtf8JianTiTraditional;
using test::Options;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ByteCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    bool writeBom;
    std::string input;
    std::string expected;
};

class ConvertFileBytes : public ::testing::TestWithParam<ByteCase>
{
};

TEST_P(ConvertFileBytes, WritesTheExpectedBytes)
{
    const ByteCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "page.htm";
    WriteFile(file, c.input);
    const Status result = ConvertFile(file, Options(c.source, c.target, false, c.writeBom), RuleTable());
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadFile(file), Bytes(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Pipelines, ConvertFileBytes,
    ::testing::Values(
        ByteCase{"ShortGbFileIsNotTestedForBom", EncodingId::Gb, EncodingId::Utf8, false, "ab", "ab"},
        ByteCase{"BomWrittenForUtf8Target", EncodingId::Gb, EncodingId::Utf8, true, "ab", kBom + "ab"},
        ByteCase{"BomDecidesDecodingWhateverTheSource", EncodingId::Gb, EncodingId::Gb, false, kBom + "ab", "ab"},
        ByteCase{"Utf8BomDroppedWithoutWriteBom", EncodingId::Utf8, EncodingId::Utf8, false, kBom + kUtf8JianTi,
                 kUtf8JianTi},
        ByteCase{"WriteBomIgnoredForGbTarget", EncodingId::Utf8, EncodingId::Gb, true, kUtf8JianTi, kGbJianTi},
        ByteCase{"WriteBomIgnoredForBig5Target", EncodingId::Gb, EncodingId::Big5, true, kGbJianTi, kBig5JianTi},
        ByteCase{"GbToBig5GivesTraditional", EncodingId::Gb, EncodingId::Big5, false, "<p>" + kGbJianTi + "</p>",
                 "<p>" + kBig5JianTi + "</p>"},
        ByteCase{"Big5ToGbGivesSimplified", EncodingId::Big5, EncodingId::Gb, false, kBig5JianTi, kGbJianTi},
        ByteCase{"Big5ToUtf8StaysTraditional", EncodingId::Big5, EncodingId::Utf8, false, kBig5JianTi,
                 kUtf8JianTiTraditional},
        ByteCase{"GbToUtf8IsSimplified", EncodingId::Gb, EncodingId::Utf8, false, kGbJianTiZhongWen,
                 "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"},
        ByteCase{"Utf8ToUtf8SimplifiesTraditional", EncodingId::Utf8, EncodingId::Utf8, false, kUtf8JianTiTraditional,
                 kUtf8JianTi},
        // Characters GB lacks survive a UTF-8 to UTF-8 run: emoji, kana, hangul, an ideograph outside the BMP.
        ByteCase{"Utf8ToUtf8KeepsCharactersGbLacks", EncodingId::Utf8, EncodingId::Utf8, false,
                 "\xF0\x9F\x98\x80\xE3\x81\x8B\xED\x95\x9C\xF0\xA0\x80\x80",
                 "\xF0\x9F\x98\x80\xE3\x81\x8B\xED\x95\x9C\xF0\xA0\x80\x80"},
        ByteCase{"CharactersBig5LacksBecomeQuestionMarks", EncodingId::Utf8, EncodingId::Big5, false,
                 "a\xF0\x9F\x98\x80"
                 "b",
                 "a?b"},
        // A byte-order mark makes a file declared BIG5 plain UTF-8 text, not BIG5 garbled through GB.
        ByteCase{"BomFileDeclaredBig5ReadAsUtf8", EncodingId::Big5, EncodingId::Gb, false,
                 kBom + kUtf8JianTiTraditional, kGbJianTi}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFile, BackupHoldsTheSourceAndReplacesAnOlderBackup)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    WriteFile(dir / "a.htm.bak", "older backup");
    struct stat before = {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8), RuleTable()));

    EXPECT_EQ(ReadFile(dir / "a.htm.bak"), Bytes(kGbJianTi));
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
    struct stat backup = {};
    ASSERT_EQ(::stat((dir / "a.htm.bak").c_str(), &backup), 0);
    EXPECT_EQ(backup.st_ino, before.st_ino) << "the backup is the source file itself";
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.htm", "a.htm.bak"}));
}

TEST(ConvertFile, WithoutBackupAnExistingBackupIsLeftAlone)
{
    TempDir dir;
    const auto file = dir / "a.htm";
    WriteFile(file, kGbJianTi);
    WriteFile(dir / "a.htm.bak", "older backup");
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable()));
    EXPECT_EQ(ReadFile(dir / "a.htm.bak"), Bytes("older backup"));
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
}

TEST(ConvertFile, NewFileKeepsThePermissionBits)
{
    TempDir dir;
    const auto file = dir / "run.php";
    WriteFile(file, "ab");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false, true), RuleTable()));
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ConvertFile, LongestFileNameStillConverts)
{
    TempDir dir;
    const auto file = dir / (std::string(251, 'n') + ".htm"); // 255 bytes, the longest name allowed
    WriteFile(file, kGbJianTi);
    const Status result = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Utf8, false), RuleTable());
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(ReadFile(file), Bytes(kUtf8JianTi));
}

TEST(ConvertFile, NewFileKeepsTheOwnerWhereTheProcessMay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another owner";
    TempDir dir;
    const auto file = dir / "page.htm";
    WriteFile(file, kGbJianTi);
    ASSERT_EQ(::chown(file.c_str(), 12345, 23456), 0);
    ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Big5, false), RuleTable()));
    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
}

TEST(ConvertFile, LinkIsConvertedWhereItPointsAndStaysALink)
{
    TempDir dir;
    WriteFile(dir / "real.htm", kGbJianTi);
    std::filesystem::create_symlink("real.htm", dir / "link.htm");
    ASSERT_TRUE(ConvertFile(dir / "link.htm", Options(EncodingId::Gb, EncodingId::Utf8), RuleTable()));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.htm"));
    EXPECT_EQ(ReadFile(dir / "real.htm"), Bytes(kUtf8JianTi));
    EXPECT_EQ(ReadFile(dir / "real.htm.bak"), Bytes(kGbJianTi));
}

TEST(ConvertFile, RulesThatEmptyTheTextGiveAnEmptyUtf8File)
{
    TempDir dir;
    const auto file = dir / "a.txt";
    RuleTable rules;
    rules.Rule(2) = {RuleKind::Replace, u"ab", u""};
    for (const bool bom : {false, true}) {
        WriteFile(file, "AB");
        ConvertOptions options = Options(EncodingId::Gb, EncodingId::Utf8, false, bom);
        options.text.applyRules = true;
        ASSERT_TRUE(ConvertFile(file, options, rules));
        EXPECT_EQ(ReadFile(file), Bytes(bom ? kBom : ""));
    }
}

// Failures: the file stays as it was, no backup is made and nothing is left behind.
struct FailureCase
{
    const char* name;
    std::string content; // written to page.htm unless it is "<folder>" or "<none>"
    EncodingId source;
    EncodingId target;
    bool keepBackup;
    StatusCode expected;
    const char* secondName = nullptr; // a hard link to page.htm made beside it
};

class ConvertFileFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(ConvertFileFailure, LeavesTheDiskUnchanged)
{
    const FailureCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "page.htm";
    if (c.content == "<folder>")
        std::filesystem::create_directory(file);
    else if (c.content != "<none>")
        WriteFile(file, c.content);
    if (c.secondName)
        std::filesystem::create_hard_link(file, dir / c.secondName);
    const auto before = dir.Entries();

    RuleTable rules;
    rules.Rule(2) = {RuleKind::Replace, u"x", u""};
    ConvertOptions options = Options(c.source, c.target, c.keepBackup);
    options.text.applyRules = true;
    const Status result = ConvertFile(file, options, rules);

    EXPECT_EQ(result.code, c.expected) << result.message;
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(dir.Entries(), before);
    if (std::filesystem::is_regular_file(file)) {
        EXPECT_EQ(ReadFile(file), Bytes(c.content));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFileFailure,
    ::testing::Values(
        FailureCase{"EmptyFile", "", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::Empty},
        FailureCase{"BomAlone", "\xEF\xBB\xBF", EncodingId::Utf8, EncodingId::Gb, true, StatusCode::ByteOrderMarkOnly},
        FailureCase{"MissingFile", "<none>", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::NotFound},
        FailureCase{"FolderAtPath", "<folder>", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::Folder},
        FailureCase{"InvalidGbBytes", "ab\x81\x20", EncodingId::Gb, EncodingId::Utf8, true, StatusCode::InvalidBytes},
        FailureCase{"InvalidUtf8Bytes", "ab\xC0\x80", EncodingId::Utf8, EncodingId::Gb, false,
                    StatusCode::InvalidBytes},
        FailureCase{"TruncatedBig5Pair", "ab\xA4", EncodingId::Big5, EncodingId::Gb, true, StatusCode::InvalidBytes},
        FailureCase{"DeclaredGbButAlreadyUtf8", "\xE7\xAE\x80\xE4\xBD\x93 page", EncodingId::Gb, EncodingId::Big5, true,
                    StatusCode::AlreadyUtf8},
        FailureCase{"RulesEmptiedGbText", "xx", EncodingId::Gb, EncodingId::Gb, true, StatusCode::EmptyResult},
        FailureCase{"RulesEmptiedBig5Text", "x", EncodingId::Utf8, EncodingId::Big5, false, StatusCode::EmptyResult},
        FailureCase{"AllNulBytes", std::string(4096, '\0'), EncodingId::Gb, EncodingId::Utf8, true,
                    StatusCode::NulBytesOnly},
        // Replacing one name would part it from the others, which would keep the old bytes.
        FailureCase{"HardLinkedFile", kGbJianTi, EncodingId::Gb, EncodingId::Utf8, true, StatusCode::HardLinked,
                    "index.htm"},
        FailureCase{"HardLinkedFileWithoutBackup", kGbJianTi, EncodingId::Gb, EncodingId::Big5, false,
                    StatusCode::HardLinked, "index.htm"}),
    [](const auto& info) { return std::string(info.param.name); });

// A second run over its own output reads every file in the wrong encoding: refused before anything
// changes, with what was seen. Short text that cannot be told apart converts as declared.
struct SourceCheckCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    veltran::Bytes input;
    StatusCode expected;
    const char* reasonStart;
};

class ConvertFileSourceCheck : public ::testing::TestWithParam<SourceCheckCase>
{
};

TEST_P(ConvertFileSourceCheck, RefusesOnlyWhatReadsAsAnotherEncoding)
{
    const SourceCheckCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "page.htm";
    test::WriteFile(file, c.input);
    ConversionNotes notes;
    const Status result = ConvertFile(file, Options(c.source, c.target), RuleTable(), SystemFileCalls(), &notes);
    EXPECT_EQ(result.code, c.expected) << result.message;
    EXPECT_EQ(result.message.substr(0, std::string(c.reasonStart).size()), c.reasonStart) << result.message;
    EXPECT_EQ(notes.refusal != nullptr, !result.ok());
    if (!result.ok()) {
        EXPECT_EQ(ReadFile(file), c.input);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
    }
}

using namespace fixtures;
using E = EncodingId;

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFileSourceCheck,
    ::testing::Values(SourceCheckCase{"GbToBig5", E::Gb, E::Big5, kGbSentence, StatusCode::Ok, ""},
                      SourceCheckCase{"GbToBig5Again", E::Gb, E::Big5, kBig5Sentence, StatusCode::WrongEncoding,
                                      "looks like BIG5 already: "},
                      SourceCheckCase{"Big5ToGbAgain", E::Big5, E::Gb, kGbSentence, StatusCode::WrongEncoding,
                                      "looks like GB already: "},
                      SourceCheckCase{"GbToUtf8Again", E::Gb, E::Utf8, kUtf8SimplifiedSentence, StatusCode::AlreadyUtf8,
                                      "looks like UTF-8 already: "},
                      SourceCheckCase{"Utf8ToBig5Again", E::Utf8, E::Big5, kBig5Sentence, StatusCode::WrongEncoding,
                                      "looks like BIG5 already: "},
                      SourceCheckCase{"GbkTraditionalToBig5", E::Gb, E::Big5, kGbkTraditionalSentence, StatusCode::Ok,
                                      ""},
                      SourceCheckCase{"ShortGbValidAsUtf8", E::Gb, E::Utf8, kGbValidAsUtf8, StatusCode::Ok, ""},
                      SourceCheckCase{"ShortUtf8DeclaredGb", E::Gb, E::Big5, kUtf8TwoCharacters,
                                      StatusCode::AlreadyUtf8, "looks like UTF-8, not GB: "},
                      // 中文 in GB reads as two rare characters in BIG5: short, yet clear.
                      SourceCheckCase{"ShortGbReadAsBig5", E::Big5, E::Gb, veltran::Bytes{0xD6, 0xD0, 0xCE, 0xC4},
                                      StatusCode::WrongEncoding, "looks like GB already: "}),
    [](const auto& info) { return std::string(info.param.name); });

// Too short to judge, a page converted once would be converted again, and its backup replaced by the
// first run's output; but the backup shows that the page is its conversion. A page that the
// conversion leaves as it is (ASCII) converts again without harm.
TEST(ConvertFile, SecondRunOverAShortPageKeepsItsBackup)
{
    struct Case
    {
        std::string page;
        StatusCode second;
    };
    for (const Case& c :
         {Case{"<p>" + kGbJianTi + "</p>", StatusCode::ConvertedFromBackup}, Case{"<p>ab</p>", StatusCode::Ok}}) {
        TempDir dir;
        const auto file = dir / "a.htm";
        WriteFile(file, c.page);
        ASSERT_TRUE(ConvertFile(file, Options(EncodingId::Gb, EncodingId::Big5), RuleTable()));
        const auto converted = ReadFile(file);
        const Status again = ConvertFile(file, Options(EncodingId::Gb, EncodingId::Big5), RuleTable());
        EXPECT_EQ(again.code, c.second) << again.message;
        EXPECT_EQ(ReadFile(dir / "a.htm.bak"), Bytes(c.page));
        EXPECT_EQ(ReadFile(file), converted);
    }
}

} // namespace
} // namespace veltran
