#include "ClosingMessage.h"

namespace veltran {

namespace {

ClosingMessage RunClosingMessage(const RunOutcome& outcome, const std::string& shownLogPath)
{
    if (outcome.stopped)
        return {"处理被终止。", "中断", MessageIcon::Warning, false};
    const std::size_t failed = outcome.failures.size();
    const std::size_t lossy = outcome.losses.size();
    if (failed == 0 && lossy == 0)
        return {"文件处理完成。", "完成", MessageIcon::Information, false};

    std::size_t lost = 0;
    for (const RunLoss& loss : outcome.losses)
        lost += loss.lost.count;
    const std::string losses =
        std::to_string(lossy) + " 个文件共 " + std::to_string(lost) + " 个字符目标编码没有，已写成 \"?\"。";
    std::string text;
    if (failed == 0)
        text = "文件处理完成，但有 " + losses;
    else if (lossy == 0)
        text = "处理完成，有 " + std::to_string(failed) + " 个文件处理失败。";
    else
        text = "处理完成，有 " + std::to_string(failed) + " 个文件处理失败，另有 " + losses;
    // A log that could not be written must not be pointed at: the file there is an older run's.
    text += outcome.logWritten ? "更多信息请查看文件：" + shownLogPath
                               : std::string("运行日志无法写入，其内容在窗口中显示。");
    return {text, "完成", MessageIcon::Warning, true};
}

} // namespace

ClosingMessage MakeClosingMessage(const RunOutcome& outcome, const std::string& shownLogPath)
{
    ClosingMessage closing = RunClosingMessage(outcome, shownLogPath);
    // A page that had vanished is back: the person must hear of it even when all else went well.
    if (!outcome.putBack.empty()) {
        closing.text += "\r\n有 " + std::to_string(outcome.putBack.size()) +
                        " 个文件原已不在、只剩备份（.bak），已从备份放回原处。";
        closing.icon = MessageIcon::Warning;
    }
    return closing;
}

} // namespace veltran
