#pragma once

#include "Status.h"
#include "UnmappableCharacters.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace veltran {

/// The text of one run's log, UTF-8 with CR LF line breaks, built entry by entry as the run goes.
/// Paths are written as ShownName gives them, so the log stays UTF-8 and a name with a line break
/// cannot forge an entry.
class RunLog
{
public:
    /// "<Veltran 运行日志>", the start time and the operation "source --> target", then an empty line.
    void AddHeader(std::string_view sourceName, std::string_view targetName, std::string_view startTime);
    /// "处理失败：", the path as the list holds it and, in brackets on the same line, the reason, each
    /// escaped by ShownName.
    void AddFailure(std::string_view path, std::string_view reason = {});
    /// "字符丢失：", the path and, in brackets, LossText: a file converted with characters written as "?".
    void AddLoss(std::string_view path, const UnmappableCharacters& lost);
    /// The stop marker, the first path not processed, an empty line and "终止时间：". No final line break.
    void AddStop(std::string_view path, std::string_view stopTime);
    /// An empty line and "完成时间：". No final line break.
    void AddCompletion(std::string_view endTime);

    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

/// Replaces the log file with the text in one piece through ReplaceFile, flushed to the disk before
/// it takes the old log's place, so a failed write leaves the previous log whole.
Status WriteRunLog(const std::filesystem::path& logPath, std::string_view text);

} // namespace veltran
