// The one table of failure reasons: every code says why in both languages, with its context filled in.
#include "Reasons.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace veltran {
namespace {

TEST(Reasons, EveryCodeHasANameAndASentenceInEachLanguageWithNothingLeftUnfilled)
{
    const StatusContext context{.systemError = EACCES, .number = 7, .encoding = 0, .name = "replace"};
    std::set<std::string_view> names;
    for (int value = static_cast<int>(StatusCode::NotFound); value <= static_cast<int>(StatusCode::BadInput); ++value) {
        const auto code = static_cast<StatusCode>(value);
        SCOPED_TRACE(value);
        EXPECT_TRUE(names.insert(CodeName(code)).second) << "name given twice: " << CodeName(code);
        // WrongEncoding and AlreadyUtf8 tell what the check saw, which this context lacks.
        if (code == StatusCode::WrongEncoding || code == StatusCode::AlreadyUtf8)
            continue;
        for (const Language language : {Language::English, Language::Chinese}) {
            const std::string text = ReasonText(code, context, language);
            EXPECT_FALSE(text.empty()) << CodeName(code);
            EXPECT_EQ(text.find('{'), std::string::npos) << text;
        }
    }
    EXPECT_EQ(ReasonText(StatusCode::Ok, context, Language::Chinese), "");
}

TEST(Reasons, ContextFillsTheSentence)
{
    struct Case
    {
        StatusCode code;
        StatusContext context;
        std::string english;
        std::string chinese;
    };
    for (const Case& c : {
             Case{StatusCode::InvalidBytes,
                  {.number = 339, .encoding = 1},
                  "bytes not valid in BIG5 at offset 339",
                  "第 339 字节起不是有效的 BIG5 编码"},
             Case{StatusCode::WriteFailed,
                  {.systemError = ENOSPC},
                  "write failed: No space left on device",
                  "写入失败：磁盘空间不足"},
             Case{StatusCode::CannotCreate,
                  {.systemError = 0},
                  "cannot create a file in the folder: no free temporary name",
                  "无法在文件夹中新建文件：没有可用的临时文件名"},
             Case{StatusCode::OpenFailed,
                  {.systemError = ENOTSOCK},
                  "cannot open: Socket operation on non-socket",
                  "无法打开：系统错误 88（Socket operation on non-socket）"},
             Case{StatusCode::RulesFieldCount,
                  {.number = 2, .name = "append"},
                  "line 2: append needs one TAB-separated text: append<TAB>text",
                  "第 2 行：append 规则需要一段以 TAB 分隔的文本：append<TAB>文本"},
         }) {
        SCOPED_TRACE(c.english);
        const Status status = Status::Failure(c.code, c.context);
        EXPECT_EQ(status.message, c.english);
        EXPECT_EQ(ReasonText(status, Language::English), c.english);
        EXPECT_EQ(ReasonText(status, Language::Chinese), c.chinese);
    }
}

} // namespace
} // namespace veltran
