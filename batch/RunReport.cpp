#include "RunReport.h"

#include "Reasons.h"
#include "ReplaceFile.h"
#include "ShownName.h"
#include "UnmappableCharacters.h"

#include <nlohmann/json.hpp>

#include <array>

namespace veltran {

namespace {

// Keys stay in the order they are set in, the order the manual page documents.
using json = nlohmann::ordered_json;

// The path as text a person can read, and its bytes when the text cannot hold them exactly.
void AddPath(json& object, const char* key, const std::filesystem::path& path)
{
    const std::string shown = ShownName(path.native());
    object[key] = shown;
    if (shown != path.native()) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (const unsigned char byte : path.native())
            hex += {kHex[byte >> 4], kHex[byte & 0xF]};
        object[std::string(key) + "Bytes"] = hex;
    }
}

// Absolute, without "." or "..", and without a "/" at its end, as undo checks it.
std::filesystem::path PlainAbsolute(const std::filesystem::path& path)
{
    std::filesystem::path plain = std::filesystem::absolute(path).lexically_normal();
    if (plain.filename().empty() && plain != plain.root_path())
        plain = plain.parent_path();
    return plain;
}

json EntryJson(const EntryRecord& record, const RunSettings& settings)
{
    json entry;
    AddPath(entry, "path", record.path);
    const bool ok = record.result.ok();
    entry["outcome"] =
        settings.conversion.disk.dryRun ? (ok ? "would convert" : "would fail") : (ok ? "converted" : "failed");
    if (!ok) {
        entry["code"] = CodeName(record.result.code);
        entry["reason"] = ShownName(record.result.message);
        return entry;
    }
    const ConversionNotes& notes = record.notes;
    const std::filesystem::path file = PlainAbsolute(notes.file);
    AddPath(entry, "file", file);
    entry["readAs"] = notes.reading.asciiOnly ? "ASCII" : std::string(EncodingName(notes.reading.encoding));
    entry["bytesRead"] = notes.bytesRead;
    entry["bytesWritten"] = notes.bytesWritten;
    if (!notes.originalSha256.empty()) {
        entry["originalSha256"] = notes.originalSha256;
        entry["writtenSha256"] = notes.writtenSha256;
    }
    if (settings.conversion.disk.keepBackup) {
        std::filesystem::path backup = file;
        backup += ".bak";
        AddPath(entry, "backup", notes.backup.empty() ? backup : PlainAbsolute(notes.backup));
    } else {
        entry["backup"] = nullptr;
    }
    json lost = json::array();
    for (const char32_t character : notes.unmappable.examples)
        lost.push_back(DescribeCharacter(character));
    entry["unmappable"] = {{"count", notes.unmappable.count}, {"first", lost}};
    entry["declarations"] = {{"found", notes.declarations.found}, {"rewritten", notes.declarations.rewritten}};
    return entry;
}

} // namespace

Status WriteRunReport(const std::filesystem::path& file, const RunRequest& request, const RunOutcome& outcome,
                      const std::string& started, const std::string& finished)
{
    // Replacement rather than an exception for text that is not UTF-8 (a lone surrogate among the
    // lost characters): the report is still written.
    const auto dump = [](const json& value, int indent) {
        return value.dump(indent, ' ', false, json::error_handler_t::replace);
    };
    const RunSettings& settings = request.settings;
    json report;
    report["report"] = "veltran run";
    const ConvertOptions& conversion = settings.conversion;
    report["settings"] = {{"from", settings.sourceName},
                          {"to", settings.targetName},
                          {"chinese", std::string(ChineseFormsName(conversion.text.chinese))},
                          {"backup", conversion.disk.keepBackup},
                          {"declarations", conversion.text.rewriteDeclarations},
                          {"references", conversion.text.unmappableAsReferences},
                          {"dryRun", conversion.disk.dryRun},
                          {"sync", conversion.disk.sync},
                          {"trustSource", conversion.text.sourceMode == SourceMode::Trusted}};
    json roots = json::array();
    for (const std::filesystem::path& root : request.roots) {
        json held;
        AddPath(held, "root", PlainAbsolute(root));
        roots.push_back(held.size() == 1 ? held["root"] : held);
    }
    report["roots"] = roots;
    report["started"] = started;
    report["finished"] = finished;
    report["stopped"] = outcome.stopped;

    // The entries, one to a line, last: each is made, written out and let go in turn, as a run of
    // many thousand files would otherwise hold a tree of values several times the text's size.
    std::string text = dump(report, 2);
    text.resize(text.size() - 2); // the line with the closing brace, which follows the entries
    text += ",\n  \"entries\": [";
    const char* separator = "\n    ";
    const auto add = [&](const json& entry) {
        text += separator;
        text += dump(entry, -1);
        separator = ",\n    ";
    };
    for (const EntryRecord& record : outcome.records)
        add(EntryJson(record, settings));
    for (std::size_t i = outcome.records.size(); i < request.entries.size(); ++i) {
        json entry;
        AddPath(entry, "path", request.entries[i]);
        entry["outcome"] = "not reached";
        add(entry);
    }
    text += "\n  ]\n}\n";

    const std::array<ByteView, 1> pieces{ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())};
    ReplaceOptions options;
    options.sync = true;
    return ReplaceFile(file, pieces, options);
}

} // namespace veltran
