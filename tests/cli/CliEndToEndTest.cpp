#include "CliProcess.h"
#include "Product.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace veltran::test {
namespace {

namespace fs = std::filesystem;

// "<meta charset="gb2312"><p>中文</p>" in GB and in UTF-8.
const std::string kGbPage = "<meta charset=\"gb2312\"><p>\xD6\xD0\xCE\xC4</p>\r\n";
const std::string kUtf8Page = "<meta charset=\"gb2312\"><p>\xE4\xB8\xAD\xE6\x96\x87</p>\r\n";
const std::string kNothingToChange = "veltran-cli: the files are in the target encoding already and no rules or "
                                     "--chinese are given: nothing to change\n";
const std::string kLogHeader = "<Veltran 运行日志>\r\n开始时间：T\r\n执行操作：GB --> UTF-8\r\n\r\n";

// The log with its date-time texts replaced by "T".
std::string MaskedLog(const fs::path& path)
{
    static const std::regex dateTime("[0-9]{4}/[0-9]{1,2}/[0-9]{1,2} [0-9]{1,2}:[0-9]{2}:[0-9]{2}");
    return std::regex_replace(ReadBytes(path), dateTime, "T");
}

class CliEndToEndTest : public ::testing::Test
{
protected:
    CliResult Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {})
    {
        return RunCliProcess(arguments, m_folder.path(), environment);
    }
    fs::path Write(const fs::path& relative, const std::string& bytes) { return m_folder.Write(relative, bytes); }
    std::string Read(const fs::path& relative) const { return ReadBytes(m_folder.path() / relative); }
    bool Exists(const fs::path& relative) const { return fs::exists(m_folder.path() / relative); }

    ScratchFolder m_folder;
};

struct UsageCase
{
    const char* name;
    std::vector<std::string> arguments;
    std::string errorPart;
};

class UsageErrorTest : public CliEndToEndTest, public ::testing::WithParamInterface<UsageCase>
{
};

TEST_P(UsageErrorTest, ExitsTwoAndTouchesNothing)
{
    Write("page.htm", kGbPage);
    Write("bad-rules.txt", "# rules\nreplace gb2312 utf-8\n");
    Write("comments-only.txt", "# nothing yet\n\n");
    const CliResult result = Run(GetParam().arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(GetParam().errorPart), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(Read("page.htm"), kGbPage);
    EXPECT_FALSE(Exists("page.htm.bak"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrorTest,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "veltran-cli: both --from and --to must be given\nTry 'veltran-cli --help'"},
        UsageCase{"UnknownOption", {"--from", "gb", "--to", "utf8", "--fast", "page.htm"}, "unknown option \"--fast\""},
        UsageCase{"BadRulesLine",
                  {"--from", "gb", "--to", "utf8", "--rules", "bad-rules.txt", "page.htm"},
                  "rules file bad-rules.txt: line 2: unknown rule kind"},
        UsageCase{"MissingRulesFile",
                  {"--from", "gb", "--to", "utf8", "--rules", "none.txt", "page.htm"},
                  "none.txt: file not found"},
        UsageCase{"SameEncodingWithoutRules", {"--from", "gb", "--to", "GB", "page.htm"}, kNothingToChange},
        UsageCase{"UnknownBackupMode",
                  {"--from", "gb", "--to", "utf8", "--backup=off", "page.htm"},
                  "--backup expects simple, numbered or existing, not \"off\""},
        UsageCase{"BackupModeWithoutBackups",
                  {"--from", "gb", "--to", "utf8", "--backup", "numbered", "--no-backup", "page.htm"},
                  "--backup and --no-backup exclude each other"},
        UsageCase{"SameEncodingWithAnEmptyRulesFile",
                  {"--from", "utf8", "--to", "utf8", "--rules", "comments-only.txt", "page.htm"},
                  kNothingToChange}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliEndToEndTest, ConvertsFilesAndFoldersKeepingBackups)
{
    Write("single.txt", kGbPage);
    Write("site/index.htm", kGbPage);
    Write("site/news/2026.htm", kGbPage);
    Write("site/logo.png", "\x89PNG\xD6\xD0");
    const CliResult result = Run({"--from", "gb", "--to", "utf8", "single.txt", "site"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Converted 3 of 3 files.\n");
    for (const char* path : {"single.txt", "site/index.htm", "site/news/2026.htm"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Read(path), kUtf8Page);
        EXPECT_EQ(Read(std::string(path) + ".bak"), kGbPage);
    }
    EXPECT_EQ(Read("site/logo.png"), "\x89PNG\xD6\xD0");
    EXPECT_FALSE(Exists("site/logo.png.bak"));
    EXPECT_FALSE(Exists("Veltran.log")) << "no log without --log";
}

// A chain of runs, GB to UTF-8 and then UTF-8 to BIG5: numbered backups keep the GB original, and a
// simple backup that replaced one holding other bytes is counted in the summary.
TEST_F(CliEndToEndTest, ChainOfRunsUnderEachBackupMode)
{
    struct ModeCase
    {
        std::string mode;
        std::string secondSummary;
        std::vector<std::pair<std::string, std::string>> backups; // name and bytes afterwards
    };
    const std::vector<ModeCase> cases{
        {"simple",
         "Converted 1 of 1 files, 1 older .bak that held other bytes replaced (--backup=numbered keeps them).\n",
         {{"simple/page.htm.bak", kUtf8Page}}},
        {"numbered",
         "Converted 1 of 1 files.\n",
         {{"numbered/page.htm.bak.~1~", kGbPage}, {"numbered/page.htm.bak.~2~", kUtf8Page}}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::string page = c.mode + "/page.htm";
        Write(page, kGbPage);
        const CliResult first = Run({"--from", "gb", "--to", "utf8", "--backup=" + c.mode, page});
        EXPECT_EQ(first.out, "Converted 1 of 1 files.\n") << first.err;
        const CliResult second = Run({"--from", "utf8", "--to", "big5", "--backup", c.mode, page});
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(second.out, c.secondSummary);
        EXPECT_EQ(Read(page), "<meta charset=\"gb2312\"><p>\xA4\xA4\xA4\xE5</p>\r\n");
        for (const auto& [name, bytes] : c.backups)
            EXPECT_EQ(Read(name), bytes) << name;
    }
}

struct OutputCase
{
    const char* name;
    std::vector<std::string> arguments; // page.htm is added
    std::string rules;                  // written to rules.txt
    std::string prefix;
    std::string suffix;
    bool backup;
};

class OutputOptionTest : public CliEndToEndTest, public ::testing::WithParamInterface<OutputCase>
{
};

TEST_P(OutputOptionTest, ShapesTheConvertedFile)
{
    const OutputCase& c = GetParam();
    Write("page.htm", kGbPage);
    Write("rules.txt", c.rules);
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("page.htm");
    const CliResult result = Run(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string converted = Read("page.htm");
    EXPECT_EQ(converted.substr(0, c.prefix.size()), c.prefix);
    ASSERT_GE(converted.size(), c.suffix.size());
    EXPECT_EQ(converted.substr(converted.size() - c.suffix.size()), c.suffix);
    EXPECT_EQ(Exists("page.htm.bak"), c.backup);
}

const std::string kUtf8Header = "<%@ CODEPAGE=65001 %>\r\n<%Response.Charset=\"UTF-8\"%>\r\n\r\n<!-- (注释)此文件由 ";

INSTANTIATE_TEST_SUITE_P(
    Options, OutputOptionTest,
    ::testing::Values(
        OutputCase{"NoBackup", {"--from", "gb", "--to", "utf8", "--no-backup"}, "", kUtf8Page, kUtf8Page, false},
        OutputCase{"Bom", {"--from", "gb", "--to", "utf8", "--bom"}, "", "\xEF\xBB\xBF" + kUtf8Page, kUtf8Page, true},
        OutputCase{"CharsetHeader",
                   {"--from", "gb", "--to", "utf8", "--charset-header"},
                   "",
                   kUtf8Header,
                   "-->\r\n" + kUtf8Page,
                   true},
        OutputCase{"BomBeforeCharsetHeader",
                   {"--from", "gb", "--to", "utf8", "--charset-header", "--bom"},
                   "",
                   "\xEF\xBB\xBF" + kUtf8Header,
                   kUtf8Page,
                   true},
        OutputCase{"RulesFile",
                   {"--from", "gb", "--to", "utf8", "--rules", "rules.txt"},
                   "replace\tGB2312\tutf-8\nappend\t<!-- 完 -->\n",
                   "<meta charset=\"utf-8\">",
                   "</p>\r\n<!-- \xE5\xAE\x8C -->",
                   true},
        // Rules run in order, each on the result of the ones before: a later insert goes before rule 1's.
        OutputCase{"InsertRuleAfterCharsetHeaderComesFirst",
                   {"--from", "gb", "--to", "utf8", "--charset-header", "--rules", "rules.txt"},
                   "insert\t<!-- 先 -->\\r\\n\n",
                   "<!-- \xE5\x85\x88 -->\r\n" + kUtf8Header,
                   " -->\r\n" + kUtf8Page,
                   true},
        OutputCase{"SameEncodingWithCharsetHeader",
                   {"--from", "gb", "--to", "gb", "--charset-header"},
                   "",
                   "<%@ CODEPAGE=936 %>\r\n<%Response.Charset=\"GB2312\"%>\r\n",
                   kGbPage,
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliEndToEndTest, FailuresAreListedLoggedInOrderAndGiveStatusOne)
{
    Write("site/bad.htm", "<p>\x81\x20</p>");
    Write("good.htm", kGbPage);
    const CliResult result =
        Run({"--from", "gb", "--to", "utf8", "missing.htm", "site", "good.htm", "--log", "run.log"});
    EXPECT_EQ(result.status, 1);
    const std::regex listed("veltran-cli: missing\\.htm: [^\n]+\nveltran-cli: site/bad\\.htm: [^\n]+\n");
    EXPECT_TRUE(std::regex_match(result.err, listed)) << result.err;
    EXPECT_EQ(result.out, "Converted 1 of 3 files, 2 failed.\n");
    EXPECT_EQ(Read("good.htm"), kUtf8Page);
    EXPECT_EQ(Read("site/bad.htm"), "<p>\x81\x20</p>");
    EXPECT_EQ(MaskedLog(m_folder.path() / "run.log"),
              kLogHeader + "处理失败：missing.htm\r\n    文件不存在\r\n处理失败：site/bad.htm\r\n"
                           "    第 3 字节起不是有效的 GB 编码\r\n\r\n完成时间：T");
}

struct StopCase
{
    const char* signal; // as VELTRAN_CLI_TEST_STOP_SIGNAL names it
    int status;
};

class StopSignalTest : public CliEndToEndTest, public ::testing::WithParamInterface<StopCase>
{
};

// Ctrl-C, a terminal closed (SIGHUP) and a polite kill (SIGTERM) all stop the run between two files.
TEST_P(StopSignalTest, StopsBetweenFilesWritesTheLogAndLeavesLaterFilesUntouched)
{
    std::vector<std::string> arguments{"--from", "gb", "--to", "utf8", "--log", "run.log"};
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "f" + std::to_string(i) + ".htm";
        Write(name, kGbPage);
        arguments.push_back(name);
    }
    const CliResult result = Run(
        arguments, {"VELTRAN_CLI_TEST_STOP_AFTER=2", std::string("VELTRAN_CLI_TEST_STOP_SIGNAL=") + GetParam().signal});
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_EQ(result.out, "Stopped before f3.htm: 2 of 5 files converted.\n");
    EXPECT_EQ(Read("f2.htm"), kUtf8Page);
    for (const char* untouched : {"f3.htm", "f4.htm", "f5.htm"}) {
        EXPECT_EQ(Read(untouched), kGbPage) << untouched;
        EXPECT_FALSE(Exists(std::string(untouched) + ".bak")) << untouched;
    }
    EXPECT_EQ(MaskedLog(m_folder.path() / "run.log"),
              kLogHeader + "*** 处理过程被用户终止于 ***\r\nf3.htm\r\n\r\n终止时间：T");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest,
                         ::testing::Values(StopCase{"INT", 130}, StopCase{"TERM", 143}, StopCase{"HUP", 129}),
                         [](const auto& info) { return std::string(info.param.signal); });

// Names are shown escaped: a name that is not UTF-8 or holds a line break cannot garble the terminal
// or forge a log entry.
TEST_F(CliEndToEndTest, OddFileNamesAreConvertedAndReportedEscaped)
{
    const std::string present = "\xB0\xA1.htm";
    const std::string missing = "\xB0\xA2.htm";
    const std::string forged = "x.htm\n处理失败：y.htm";
    Write("dir/" + present, kGbPage);
    const CliResult result =
        Run({"--quiet", "--from", "gb", "--to", "utf8", "dir", missing, forged, "--log", "run.log"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "") << "--quiet leaves only the failures";
    const std::regex listed("veltran-cli: \\\\xB0\\\\xA2\\.htm: [^\n]+\n"
                            "veltran-cli: x\\.htm\\\\n处理失败：y\\.htm: [^\n]+\n");
    EXPECT_TRUE(std::regex_match(result.err, listed)) << result.err;
    EXPECT_EQ(Read("dir/" + present), kUtf8Page);
    EXPECT_EQ(MaskedLog(m_folder.path() / "run.log"),
              kLogHeader + "处理失败：\\xB0\\xA2.htm\r\n    文件不存在\r\n处理失败：x.htm\\n处理失败：y.htm\r\n"
                           "    文件不存在\r\n\r\n完成时间：T");
}

TEST_F(CliEndToEndTest, LogThatCannotBeWrittenLeavesTheConversionsStanding)
{
    Write("page.htm", kGbPage);
    const CliResult result = Run({"--from", "gb", "--to", "utf8", "page.htm", "--log", "no-folder/run.log"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("the log was not written"), std::string::npos) << result.err;
    EXPECT_EQ(Read("page.htm"), kUtf8Page);
}

// The site's own options through the terminal: a dry run says what a run would do and gives its exit
// status, the run rewrites the declaration and reports the character BIG5 lacks, and undo takes it back.
TEST_F(CliEndToEndTest, DryRunRunAndUndoOfASite)
{
    const std::string page = "<meta charset=\"gb2312\"><p>\xD6\xD0\xA2\xA1</p>"; // 中ⅰ
    Write("site/index.htm", page);
    Write("site/bad.htm", "<p>\x81\x20</p>");
    const std::vector<std::string> options{"--from",         "gb",           "--to",         "big5",
                                           "--declarations", "--references", "site/bad.htm", "site/index.htm"};

    std::vector<std::string> dryRun = options;
    dryRun.insert(dryRun.end(), {"--dry-run", "--log", "run.log"});
    const CliResult foretold = Run(dryRun);
    EXPECT_EQ(foretold.status, 1);
    // Each failure is told once, on standard error.
    EXPECT_EQ(foretold.err.find("veltran-cli: site/bad.htm: bytes not valid in GB at offset 3\n"), 0u) << foretold.err;
    const std::string told = foretold.out + foretold.err;
    EXPECT_EQ(told.find("bad.htm"), told.rfind("bad.htm")) << told;
    EXPECT_EQ(foretold.out, "would convert: site/index.htm (1 of 1 charset declarations rewritten)\n"
                            "Would convert 1 of 2 files, 1 would fail, 1 with characters the target lacks, "
                            "declarations rewritten in 1, 0 declaring no charset.\n");
    EXPECT_FALSE(Exists("run.log"));
    EXPECT_FALSE(Exists("site/index.htm.bak"));

    std::vector<std::string> run = options;
    run.insert(run.end(), {"--report", "run.json"});
    const CliResult done = Run(run);
    EXPECT_EQ(done.status, 1);
    EXPECT_NE(done.err.find("veltran-cli: site/index.htm: 1 character the target lacks written as references: "),
              std::string::npos)
        << done.err;
    EXPECT_EQ(Read("site/index.htm"), "<meta charset=\"big5\"><p>\xA4\xA4&#x2170;</p>");
    // The report's keys in their documented order, its times in ISO 8601 with the zone.
    static const std::regex head(
        R"(\{\n  "report": "veltran run",\n  "settings": \{\n    "from": "GB",\n    "to": "BIG5",\n)"
        R"(    "chinese": "implied",[^]*\n  "roots": [^]*\n  "started": "\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d",)"
        R"(\n  "finished": "[^"]+",\n  "stopped": false,\n  "entries": \[\n    \{"path":"site/bad.htm",)"
        R"("outcome":"failed","code":"InvalidBytes","reason":[^]*\n    \{"path":"site/index.htm","outcome":"converted","file":[^]*)");
    EXPECT_TRUE(std::regex_match(Read("run.json"), head)) << Read("run.json");

    const CliResult undone = Run({"--undo", "run.json"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out, "Put back 1 of 1 files.\n");
    EXPECT_EQ(Read("site/index.htm"), page);
}

// Without a report a run keeps only the entries its notes name, yet its summary counts every file.
TEST_F(CliEndToEndTest, SummaryWithoutAReportCountsEveryFile)
{
    Write("site/declared.htm", "<meta charset=\"gb2312\"><p>\xD6\xD0</p>");
    Write("site/lossy.htm", "<p>\xD6\xD0\xA2\xA1</p>");
    Write("site/bad.htm", "<p>\x81\x20</p>");
    const CliResult done = Run({"--from", "gb", "--to", "big5", "--declarations", "-j", "2", "site/declared.htm",
                                "site/lossy.htm", "site/bad.htm"});
    EXPECT_EQ(done.status, 1);
    EXPECT_EQ(done.out, "Converted 2 of 3 files, 1 failed, 1 with characters the target lacks, declarations "
                        "rewritten in 1, 1 declaring no charset.\n");
    EXPECT_NE(done.err.find("veltran-cli: site/lossy.htm: 1 character the target lacks written as \"?\": U+2170"),
              std::string::npos)
        << done.err;
}

TEST_F(CliEndToEndTest, HelpGoesToStandardOutput)
{
    const CliResult result = Run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("Usage: veltran-cli -f ENC -t ENC", 0), 0u);
}

TEST_F(CliEndToEndTest, VersionIsTheOneTheWindowShows)
{
    // The package takes its version from the build; the window's caption from kProductVersionSuffix.
    std::string shown;
    for (const char16_t c : std::u16string_view(kProductVersionSuffix).substr(2)) // past " V"
        shown += static_cast<char>(c);
    const CliResult result = Run({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("veltran-cli (Veltran) " + shown + "\nCopyright (C) 2026 ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\nLicense MIT"), std::string::npos);
}

} // namespace
} // namespace veltran::test
