#include "CliProcess.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltran::test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(EncodingId encoding, std::u16string_view text)
{
    const veltran::Bytes bytes = Encode(encoding, text);
    return {bytes.begin(), bytes.end()};
}

class CliStreamTest : public ::testing::Test
{
protected:
    CliResult Run(const std::vector<std::string>& arguments, const std::string& input = {},
                  const std::vector<std::string>& environment = {})
    {
        return RunCliProcess(arguments, m_folder.path(), environment, input);
    }

    ScratchFolder m_folder;
};

struct PipeCase
{
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    int status;
    std::string output;
    std::string errorPart; // empty: nothing on standard error
};

class PipeTest : public CliStreamTest, public ::testing::WithParamInterface<PipeCase>
{
};

TEST_P(PipeTest, ConvertsStandardInputToStandardOutput)
{
    const CliResult result = Run(GetParam().arguments, GetParam().input);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_EQ(result.out, GetParam().output);
    if (GetParam().errorPart.empty())
        EXPECT_EQ(result.err, "");
    else
        EXPECT_NE(result.err.find(GetParam().errorPart), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Pipes, PipeTest,
    ::testing::Values(
        PipeCase{"GbToBig5", {"-f", "gb", "-t", "big5"}, "\xD6\xD0\xCE\xC4", 0, "\xA4\xA4\xA4\xE5", ""},
        PipeCase{"DashIsStandardInput", {"-f", "gb", "-t", "utf8", "-"}, "\xD6\xD0", 0, "\xE4\xB8\xAD", ""},
        // 😀 ⅰ 中: GB 18030 holds every character, and reads back as it was.
        PipeCase{"Utf8ToGb18030KeepsEveryCharacter",
                 {"--from=utf8", "--to=gb18030"},
                 "\xF0\x9F\x98\x80\xE2\x85\xB0\xE4\xB8\xAD",
                 0,
                 "\x94\x39\xFC\x36\xA2\xA1\xD6\xD0",
                 ""},
        PipeCase{"Gb18030ToUtf8",
                 {"-f", "GB18030", "-t", "utf8"},
                 "\x94\x39\xFC\x36\xA2\xA1\xD6\xD0",
                 0,
                 "\xF0\x9F\x98\x80\xE2\x85\xB0\xE4\xB8\xAD",
                 ""},
        PipeCase{"GbLacksTheEmoji",
                 {"-f", "utf8", "-t", "gbk"},
                 "a\xF0\x9F\x98\x80z",
                 0,
                 "a?z",
                 "veltran-cli: standard input: 1 character the target lacks written as \"?\": U+1F600"},
        PipeCase{"DropWhatTheTargetLacks",
                 {"-f", "utf8", "-t", "gb", "-c"},
                 "a\xF0\x9F\x98\x80z",
                 0,
                 "az",
                 "1 character the target lacks left out"},
        // 國 in GB: kept, or made Simplified (国) as a GB source implies.
        PipeCase{"KeepTheForms", {"-f", "gb", "-t", "utf8", "--chinese", "keep"}, "\x87\xF8", 0, "\xE5\x9C\x8B", ""},
        PipeCase{"FormsAsImplied", {"-f", "gb", "-t", "utf8"}, "\x87\xF8", 0, "\xE5\x9B\xBD", ""},
        // 着软件: OpenCC's standard forms keep 着, Taiwan's write 著; both 軟件.
        PipeCase{"StandardTraditionalForms",
                 {"-f", "utf8", "-t", "utf8", "--chinese", "traditional"},
                 "\xE7\x9D\x80\xE8\xBD\xAF\xE4\xBB\xB6",
                 0,
                 "\xE7\x9D\x80\xE8\xBB\x9F\xE4\xBB\xB6",
                 ""},
        PipeCase{"TaiwanForms",
                 {"-f", "utf8", "-t", "utf8", "--chinese=taiwan"},
                 "\xE7\x9D\x80\xE8\xBD\xAF\xE4\xBB\xB6",
                 0,
                 "\xE8\x91\x97\xE8\xBB\x9F\xE4\xBB\xB6",
                 ""},
        PipeCase{"InvalidBytesWriteNothing",
                 {"-f", "gb", "-t", "utf8"},
                 "ab\x81\x20",
                 1,
                 "",
                 "veltran-cli: standard input: bytes not valid in GB at offset 2\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// -o converts one file to another and leaves the source, and on failure the output, as they were.
TEST_F(CliStreamTest, OutputFileLeavesTheSourceAndNoBackup)
{
    m_folder.Write("in.txt", "\xD6\xD0");
    const CliResult done = Run({"-f", "gb", "-t", "utf8", "-o", "out.txt", "in.txt"});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(ReadBytes(m_folder.path() / "out.txt"), "\xE4\xB8\xAD");
    EXPECT_EQ(ReadBytes(m_folder.path() / "in.txt"), "\xD6\xD0");
    EXPECT_FALSE(fs::exists(m_folder.path() / "in.txt.bak") || fs::exists(m_folder.path() / "out.txt.bak"));

    m_folder.Write("bad.txt", "\x81\x20");
    const CliResult failed = Run({"-f", "gb", "-t", "utf8", "-o", "out.txt", "bad.txt"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "veltran-cli: bad.txt: bytes not valid in GB at offset 0\n");
    EXPECT_EQ(ReadBytes(m_folder.path() / "out.txt"), "\xE4\xB8\xAD");

    const CliResult same = Run({"-f", "gb", "-t", "utf8", "-o", "./in.txt", "in.txt"});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(ReadBytes(m_folder.path() / "in.txt"), "\xD6\xD0");
}

TEST_F(CliStreamTest, DetectSaysOneLinePerFileAsFromAutoWouldRead)
{
    const std::u16string simplified = u"这是一个用来测试编码识别的中文句子，内容很普通，大家都能看懂。";
    const std::u16string traditional = u"這是一個用來測試編碼識別的中文句子，內容很普通，大家都能看懂。";
    m_folder.Write("site/gb.htm", Bytes(EncodingId::Gb, simplified));
    m_folder.Write("site/big5.htm", Bytes(EncodingId::Big5, traditional));
    m_folder.Write("site/utf8.htm", Bytes(EncodingId::Utf8, simplified));
    m_folder.Write("site/plain.htm", "<p>ascii</p>");
    m_folder.Write("short.txt", Bytes(EncodingId::Gb, u"中文"));
    const CliResult result = Run({"--detect", "site", "short.txt", "missing.txt"});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> starts{
        "site/big5.htm: BIG5 (reads as BIG5: ", "site/gb.htm: GB (reads as GB: ", "site/plain.htm: ASCII (ASCII only",
        "site/utf8.htm: UTF-8 (", "short.txt: undecided (cannot tell the encoding: too few"};
    std::size_t at = 0;
    for (const std::string& start : starts) {
        EXPECT_EQ(result.out.find(start, at), at) << result.out;
        at = result.out.find('\n', at) + 1;
    }
    EXPECT_EQ(at, result.out.size());
    EXPECT_EQ(result.err.rfind("veltran-cli: missing.txt: ", 0), 0u) << result.err;
}

TEST_F(CliStreamTest, ListNamesEveryEncodingAndItsAliases)
{
    const CliResult result = Run({"-l"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "gb gbk gb2312 cp936 euc-cn windows-936\nbig5 cp950 windows-950\nutf8 utf-8\n"
                          "gb18030 gb-18030\n");
}

TEST_F(CliStreamTest, MissingOrDamagedMappingTablesStopTheRunBeforeAnyFile)
{
    m_folder.Write("page.htm", "\xD6\xD0");
    m_folder.Write("damaged.tables", "VLTTABLE but nothing after it");
    for (const char* tables : {"none.tables", "damaged.tables"}) {
        const CliResult result =
            Run({"-f", "gb", "-t", "utf8", "page.htm"}, {}, {std::string("VELTRAN_MAPPING_TABLES=") + tables});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.rfind(std::string("veltran-cli: the Chinese mapping tables ") + tables + " ", 0), 0u)
            << result.err;
        EXPECT_EQ(ReadBytes(m_folder.path() / "page.htm"), "\xD6\xD0");
    }
}

} // namespace
} // namespace veltran::test
