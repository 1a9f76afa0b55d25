#include "RunLog.h"

#include "LossText.h"
#include "ReplaceFile.h"
#include "ShownName.h"

#include <array>

namespace veltran {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
} // namespace

void RunLog::AddHeader(std::string_view sourceName, std::string_view targetName, std::string_view startTime)
{
    m_text += "<Veltran 运行日志>";
    m_text += kLineBreak;
    m_text += "开始时间：";
    m_text += startTime;
    m_text += kLineBreak;
    m_text += "执行操作：";
    m_text += sourceName;
    m_text += " --> ";
    m_text += targetName;
    m_text += kLineBreak;
    m_text += kLineBreak;
}

void RunLog::AddFailure(std::string_view path, std::string_view reason)
{
    m_text += "处理失败：";
    m_text += ShownName(path);
    m_text += kLineBreak;
    if (reason.empty())
        return;
    // Indented on a line of its own, so that the failure line is what a reader looking for it expects.
    m_text += "    ";
    m_text += ShownName(reason);
    m_text += kLineBreak;
}

void RunLog::AddLoss(std::string_view path, const UnmappableCharacters& lost)
{
    m_text += "字符丢失：";
    m_text += ShownName(path);
    m_text += "（" + LossText(lost, true) + "）";
    m_text += kLineBreak;
}

void RunLog::AddStop(std::string_view path, std::string_view stopTime)
{
    m_text += "*** 处理过程被用户终止于 ***";
    m_text += kLineBreak;
    m_text += ShownName(path);
    m_text += kLineBreak;
    m_text += kLineBreak;
    m_text += "终止时间：";
    m_text += stopTime;
}

void RunLog::AddCompletion(std::string_view endTime)
{
    m_text += kLineBreak;
    m_text += "完成时间：";
    m_text += endTime;
}

Status WriteRunLog(const std::filesystem::path& logPath, std::string_view text)
{
    const std::array<ByteView, 1> pieces{ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())};
    ReplaceOptions options;
    options.sync = true; // a crash leaves either the old log or the whole new one
    return ReplaceFile(logPath, pieces, options);
}

} // namespace veltran
