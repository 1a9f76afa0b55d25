#include "CheckReport.h"

#include "LossText.h"
#include "Reasons.h"
#include "ShownName.h"
#include "TrustedRun.h"

namespace veltran {

std::string CheckReportText(const RunRequest& request, const RunOutcome& outcome)
{
    const RunSettings& settings = request.settings;
    std::string entries;
    std::size_t failing = 0;
    std::size_t lossy = 0;
    std::size_t rewriting = 0;
    for (const EntryRecord& record : outcome.records) {
        const std::string path = ShownName(record.path);
        if (!record.notes.putBackFrom.empty())
            entries += "将从备份放回：" + path + "（原已不在，只剩 " +
                       ShownName(record.notes.putBackFrom.filename().native()) + "）\n";
        if (!record.result) {
            ++failing;
            entries += "不能处理：" + path + "：" + ShownName(ReasonText(record.result, Language::Chinese)) + "\n";
            if (record.notes.refusal && settings.conversion.text.sourceMode != SourceMode::Guessed)
                entries += ConvertAsSourceHint(settings.sourceName);
            continue;
        }
        entries += "可以处理：" + path + "\n";
        const MappedCharacters& mapped = record.notes.mapped;
        if (mapped.count > 0)
            entries += "    汉字将改写 " + std::to_string(mapped.count) + " 个：" + mapped.ExamplesText() +
                       (mapped.count > mapped.examples.size() ? " ...\n" : "\n");
        const DeclarationCount& declarations = record.notes.declarations;
        if (settings.conversion.text.rewriteDeclarations && declarations.rewritten > 0) {
            ++rewriting;
            entries += "    将改写编码声明 " + std::to_string(declarations.rewritten) + " 处（共 " +
                       std::to_string(declarations.found) + " 处）\n";
        }
        const UnmappableCharacters& lost = record.notes.unmappable;
        if (lost.count == 0)
            continue;
        ++lossy;
        entries += "    " + LossText(lost, false) + "\n";
    }
    // The totals first: on a long list they are what a person looks for.
    const std::size_t checked = outcome.records.size();
    std::string text = "检查：" + settings.sourceName + " --> " + settings.targetName + "（不改动任何文件）\n";
    if (outcome.stopped)
        text += "检查被终止：已检查 " + std::to_string(checked) + " 个文件，共 " +
                std::to_string(request.entries.size()) + " 个。\n";
    text += "共检查 " + std::to_string(checked) + " 个文件：" + std::to_string(checked - failing) + " 个可以处理，" +
            std::to_string(failing) + " 个不能处理，" + std::to_string(lossy) + " 个含目标编码没有的字符";
    if (settings.conversion.text.rewriteDeclarations)
        text += "，" + std::to_string(rewriting) + " 个将改写编码声明";
    text += "。\n\n";
    return text + entries;
}

} // namespace veltran
