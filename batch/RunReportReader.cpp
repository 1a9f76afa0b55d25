#include "RunReportReader.h"

#include "FileReader.h"
#include "ShownName.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace veltran {
namespace {

using nlohmann::json;

// A fault in the report, caught where the report is read.
struct Unusable
{
    std::string reason;
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::filesystem::path PathOf(const json& entry, const std::string& key)
{
    const auto bytes = entry.find(key + "Bytes");
    if (bytes == entry.end())
        return entry.at(key).get<std::string>();
    const std::string hex = bytes->get<std::string>();
    if (hex.size() % 2 != 0)
        throw Unusable{key + "Bytes is not hexadecimal"};
    std::string raw;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            throw Unusable{key + "Bytes is not hexadecimal"};
        raw += static_cast<char>(high << 4 | low);
    }
    return raw;
}

// An absolute path without "." or ".." in it and no "/" at its end (but "/" itself), as the report
// writes them.
std::filesystem::path PlainAbsolutePath(const json& entry, const std::string& key)
{
    const std::filesystem::path path = PathOf(entry, key);
    if (!path.is_absolute() || path.lexically_normal() != path || (path.filename().empty() && path != "/"))
        throw Unusable{key + " " + ShownName(path.native()) + " is not a plain absolute path"};
    return path;
}

std::string Digest(const json& entry, const std::string& key)
{
    const std::string digest = entry.at(key).get<std::string>();
    if (digest.size() != 64 || !std::all_of(digest.begin(), digest.end(), [](char c) { return HexValue(c) >= 0; }))
        throw Unusable{key + " is not a SHA-256 digest"};
    return digest;
}

// "<file>.bak", or a numbered "<file>.bak.~N~".
bool IsOwnBackup(const std::filesystem::path& file, const std::filesystem::path& backup)
{
    const std::string simple = file.native() + ".bak";
    const std::string& named = backup.native();
    if (named == simple)
        return true;
    if (!named.starts_with(simple + ".~") || !named.ends_with("~") || named.size() < simple.size() + 4)
        return false;
    const std::string_view number(named.data() + simple.size() + 2, named.size() - simple.size() - 3);
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool Inside(const std::filesystem::path& file, const std::filesystem::path& root)
{
    return std::mismatch(root.begin(), root.end(), file.begin(), file.end()).first == root.end();
}

ReportedRun Parse(const json& report)
{
    const json& settings = report.at("settings");
    if (settings.at("dryRun").get<bool>())
        throw Unusable{"the report is of a dry run, which changed nothing"};
    if (!settings.at("backup").get<bool>())
        throw Unusable{"the run kept no backups (--no-backup): there is nothing to put the files back from"};
    ReportedRun run;
    // A root is its path, or an object with its path and the path's bytes where they are not UTF-8.
    for (const json& root : report.at("roots"))
        run.roots.push_back(PlainAbsolutePath(root.is_object() ? root : json{{"root", root}}, "root"));
    std::size_t number = 0;
    for (const json& entry : report.at("entries")) {
        ++number;
        if (entry.at("outcome").get<std::string>() != "converted")
            continue;
        try {
            ReportedFile file;
            file.file = PlainAbsolutePath(entry, "file");
            if (file.file == "/")
                throw Unusable{"file / is not a file"};
            file.backup = PathOf(entry, "backup");
            // Only ever the file's own backup: a report edited to name another would have undo move
            // any file it names over any other.
            if (!IsOwnBackup(file.file, file.backup))
                throw Unusable{"the backup named is not the file's own .bak"};
            if (std::none_of(run.roots.begin(), run.roots.end(),
                             [&](const std::filesystem::path& root) { return Inside(file.file, root); }))
                throw Unusable{ShownName(file.file.native()) + " is outside the folders and files the run was given"};
            file.originalSha256 = Digest(entry, "originalSha256");
            file.writtenSha256 = Digest(entry, "writtenSha256");
            file.bytesRead = entry.at("bytesRead").get<std::uint64_t>();
            file.bytesWritten = entry.at("bytesWritten").get<std::uint64_t>();
            run.converted.push_back(std::move(file));
        } catch (const Unusable& fault) {
            throw Unusable{"entry " + std::to_string(number) + ": " + fault.reason};
        }
    }
    return run;
}

} // namespace

Result<ReportedRun> ReadRunReport(const std::filesystem::path& reportFile, const FileSystemCalls& calls)
{
    const std::string shown = ShownName(reportFile.native());
    ReadLimits limits;
    limits.largest = kLargestReport;
    Result<FileContent> content = ReadRegularFile(reportFile, limits, calls);
    if (!content)
        return Status::Failure(StatusCode::BadInput,
                               {.name = "cannot read " + shown + ": " + content.status().message});
    try {
        const ByteView bytes = content->bytes;
        return Parse(json::parse(bytes.begin(), bytes.end()));
    } catch (const Unusable& fault) {
        return Status::Failure(StatusCode::BadInput, {.name = shown + ": " + fault.reason});
    } catch (const json::exception& e) { // a missing key, a value of another type, or no JSON at all
        return Status::Failure(StatusCode::BadInput,
                               {.name = shown + " is not a run report: " + std::string(e.what())});
    }
}

} // namespace veltran
