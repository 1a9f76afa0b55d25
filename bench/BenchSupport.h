#pragma once

// Helpers shared by the benchmarks: timing, whole-file reads and writes, and the two sides of the
// batch-run figure (the run itself and the I/O floor it is compared with).

#include "BatchRun.h"
#include "Bytes.h"
#include "FileConverter.h"
#include "RuleTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace veltran::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

/// Units in which two mappings of one text differ; a difference of length counts as the longer text.
inline std::size_t DifferingUnits(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        differing += a[i] != b[i];
    return differing;
}

inline void WriteBytes(const fs::path& path, ByteView bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// A file of a folder read whole, named by its path relative to the folder.
struct FolderFile
{
    std::string name;
    Bytes bytes;
};

/// Every regular file under the folder, at any depth, sorted by name.
inline std::vector<FolderFile> ReadFolderFiles(const fs::path& folder)
{
    std::vector<FolderFile> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back({fs::relative(entry.path(), folder).string(), ReadBytes(entry.path())});
    }
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    return files;
}

class SilentHost : public ProgressDisplay, public NeverStop
{
public:
    void ShowProgress(int, std::size_t) override {}
};

/// Reads the whole file into `buffer` with plain system calls; exits the benchmark when it cannot.
inline void ReadWhole(const fs::path& file, std::vector<char>& buffer)
{
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info = {};
    if (in < 0 || ::fstat(in, &info) != 0) {
        std::perror(file.c_str());
        std::exit(1);
    }
    buffer.resize(static_cast<std::size_t>(info.st_size));
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    ::close(in);
    if (got != info.st_size) {
        std::perror(file.c_str());
        std::exit(1);
    }
}

/// Writes the buffer to a new file; exits the benchmark when it cannot.
inline void WriteNew(const fs::path& file, const std::vector<char>& buffer)
{
    const int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0 || ::write(out, buffer.data(), buffer.size()) != static_cast<ssize_t>(buffer.size()) ||
        ::close(out) != 0) {
        std::perror(file.c_str());
        std::exit(1);
    }
}

inline void RenameOrExit(const fs::path& from, const fs::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) {
        std::perror(from.c_str());
        std::exit(1);
    }
}

/// What any in-place rewrite with a backup costs at the least: read the file whole, rename it to
/// .bak, write the bytes to a new file at its path; plain system calls into one reused buffer.
inline double IoFloorSeconds(const std::vector<fs::path>& files)
{
    std::vector<char> buffer;
    const auto start = Clock::now();
    for (const fs::path& file : files) {
        ReadWhole(file, buffer);
        fs::path backup = file;
        backup += ".bak";
        RenameOrExit(file, backup);
        WriteNew(file, buffer);
    }
    return Seconds(start);
}

/// The same I/O as IoFloorSeconds done as a replacement that never leaves the path without its
/// whole file: the bytes go to a new file beside it, then the file is renamed to .bak and the new
/// one to its name.
inline double SafeReplaceSeconds(const std::vector<fs::path>& files)
{
    std::vector<char> buffer;
    const auto start = Clock::now();
    for (const fs::path& file : files) {
        ReadWhole(file, buffer);
        const fs::path staged = file.parent_path() / ("." + file.filename().string() + ".new");
        fs::path backup = file;
        backup += ".bak";
        WriteNew(staged, buffer);
        RenameOrExit(file, backup);
        RenameOrExit(staged, file);
    }
    return Seconds(start);
}

/// The run engine converting every file GB to BIG5 with backups, as the window and veltran-cli run
/// it. Exits the benchmark when a file fails.
inline double BatchSeconds(const std::vector<fs::path>& files)
{
    SilentHost host;
    FixedFileOptions options(false, false);
    const RuleTable rules;
    RunSettings settings;
    settings.conversion.text.source = EncodingId::Gb;
    settings.conversion.text.target = EncodingId::Big5;
    settings.conversion.disk.keepBackup = true;
    const auto start = Clock::now();
    const RunOutcome outcome = RunBatch(
        files, settings, RunRoles{host, host, options},
        [&](const fs::path& path, const ConvertOptions& o, UnmappableCharacters&) {
            return ConvertFile(path, o, rules);
        },
        [] { return std::string("now"); });
    const double seconds = Seconds(start);
    if (!outcome.failures.empty()) {
        std::fprintf(stderr, "%zu files failed, first: %s\n", outcome.failures.size(),
                     outcome.failures.front().reason.message.c_str());
        std::exit(1);
    }
    return seconds;
}

} // namespace veltran::bench
