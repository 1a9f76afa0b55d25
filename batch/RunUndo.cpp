#include "RunUndo.h"

#include "Sha256.h"
#include "ShownName.h"
#include "SystemError.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

namespace veltran {

namespace {

using nlohmann::json;

Status Unusable(const std::string& reason)
{
    return Status::Failure(StatusCode::BadInput, reason);
}

std::filesystem::path PathOf(const json& entry, const std::string& key)
{
    const auto bytes = entry.find(key + "Bytes");
    if (bytes == entry.end())
        return entry.at(key).get<std::string>();
    const std::string hex = bytes->get<std::string>();
    std::string raw;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        raw += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return raw;
}

// The SHA-256 of the file's content, or empty when it cannot be read.
std::string DigestOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return {};
    return Sha256::Of(ByteView(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

} // namespace

UndoOutcome UndoRun(const std::filesystem::path& reportFile, const FileSystemCalls& calls)
{
    UndoOutcome outcome;
    json report;
    try {
        std::ifstream in(reportFile, std::ios::binary);
        if (!in) {
            outcome.report = Unusable("cannot read " + ShownName(reportFile.native()));
            return outcome;
        }
        report = json::parse(in);
    } catch (const json::exception& e) {
        outcome.report = Unusable(ShownName(reportFile.native()) + " is not a run report: " + e.what());
        return outcome;
    }
    try {
        const json& settings = report.at("settings");
        if (settings.at("dryRun").get<bool>()) {
            outcome.report = Unusable("the report is of a dry run, which changed nothing");
            return outcome;
        }
        if (!settings.at("backup").get<bool>()) {
            outcome.report =
                Unusable("the run kept no backups (--no-backup): there is nothing to put the files back from");
            return outcome;
        }
        for (const json& entry : report.at("entries")) {
            if (entry.at("outcome").get<std::string>() != "converted")
                continue;
            const std::filesystem::path file = PathOf(entry, "file");
            std::filesystem::path backup = file;
            backup += ".bak";
            // Only ever the file's own backup: a report edited to name another would have undo move
            // any file it names over any other.
            if (PathOf(entry, "backup") != backup) {
                outcome.refused.push_back({file, "the report names a backup other than its .bak"});
                continue;
            }
            if (DigestOf(file) != entry.at("writtenSha256").get<std::string>()) {
                outcome.refused.push_back({file, "changed since the run"});
                continue;
            }
            if (DigestOf(backup) != entry.at("originalSha256").get<std::string>()) {
                outcome.refused.push_back({file, "its backup is missing or changed since the run"});
                continue;
            }
            // One rename: the path holds the converted file until it holds the original.
            if (const int error = calls.Rename(backup, file); error != 0) {
                outcome.refused.push_back({file, "cannot put the backup back: " + SystemErrorText(error)});
                continue;
            }
            outcome.restored.push_back(file);
        }
    } catch (const std::exception& e) { // the JSON's own errors, and hexadecimal that is not
        outcome.report = Unusable(ShownName(reportFile.native()) + " is not a run report: " + e.what());
    }
    return outcome;
}

} // namespace veltran
