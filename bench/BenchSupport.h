#pragma once

// Helpers shared by the benchmarks: timing, whole-file reads and writes, and the two sides of the
// batch-run figure (the run itself and the I/O floor it is compared with).

#include "BatchRun.h"
#include "Bytes.h"
#include "FileConverter.h"
#include "ReadAhead.h"
#include "RuleTable.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace veltran::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

/// Processor seconds, user and system, that every thread of this process has used so far.
struct ProcessorSeconds
{
    double user = 0;
    double system = 0;
};

inline ProcessorSeconds ProcessorSecondsNow()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
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

/// Ends the benchmark with the message.
[[noreturn]] inline void Fail(const std::string& message)
{
    std::fprintf(stderr, "bench: %s\n", message.c_str());
    std::exit(1);
}

inline const char* Verdict(bool met)
{
    return met ? "met" : "MISSED";
}

/// A program run to its end: its wall time and peak resident memory.
struct ProcessRun
{
    double seconds = 0;
    double peakMegabytes = 0;
};

/// Runs a program to its end with its output discarded, as a shell would. Its peak memory is taken by
/// GNU time where installed: the kernel counts in a child's peak the memory of the process it was
/// spawned from, so a large benchmark would inflate its own measure; time, a small process, does not.
inline ProcessRun RunProcess(const std::vector<std::string>& args)
{
    const char* const timer = "/usr/bin/time";
    std::string peakFile = (fs::temp_directory_path() / "veltran-peak-XXXXXX").string();
    const int peakFd = access(timer, X_OK) == 0 ? mkstemp(peakFile.data()) : -1;
    std::vector<std::string> command = args;
    if (peakFd >= 0) {
        close(peakFd);
        command.insert(command.begin(), {timer, "-f", "%M", "-o", peakFile});
    }
    std::vector<char*> argv;
    for (const std::string& arg : command) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        Fail("cannot start " + args[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    ProcessRun run{Seconds(start), static_cast<double>(usage.ru_maxrss) / 1e3};
    posix_spawn_file_actions_destroy(&actions);
    if (peakFd >= 0) {
        double kilobytes = 0;
        if (std::ifstream(peakFile) >> kilobytes)
            run.peakMegabytes = kilobytes / 1e3;
        fs::remove(peakFile);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Fail(args[0] + " failed");
    }
    return run;
}

/// The pages of a site made by bench/real-sites.sh, sorted; exits the benchmark when there are none.
inline std::vector<fs::path> PagesOf(const fs::path& site)
{
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(site)) {
        pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    if (pages.empty()) {
        Fail("no pages in " + site.string() + "; run bench/real-sites.sh first");
    }
    return pages;
}

/// Copies of the site's pages, in folders of their own, until each set has at least `files`. Each
/// page is copied into the same folder once per set, as `<set>-NAME`: a new file is placed near its
/// folder on the disk, so all measures meet the same state of the file system.
inline std::vector<std::vector<fs::path>> CopySite(const fs::path& site, const fs::path& to, std::size_t files,
                                                   const std::vector<std::string>& sets)
{
    const std::vector<fs::path> pages = PagesOf(site);
    std::vector<std::vector<fs::path>> copies(sets.size());
    for (int copy = 0; copies.front().size() < files; ++copy) {
        const fs::path folder = to / ("copy" + std::to_string(copy));
        fs::create_directories(folder);
        for (const fs::path& page : pages) {
            for (std::size_t set = 0; set < sets.size(); ++set) {
                copies[set].push_back(folder / (sets[set] + "-" + page.filename().string()));
                fs::copy_file(page, copies[set].back());
            }
        }
    }
    // On the disk before any side is timed, so that none pays for writing the copies back.
    ::sync();
    return copies;
}

/// The calls a converter that keeps its promises makes for each file, with no conversion: the file
/// read whole, an unnamed new file beside it, the bytes written to it, the backup linked to the
/// current file (through a temporary name renamed over an older backup), the new file named and
/// renamed over the path. Exits the benchmark when a call fails.
inline void SafeRewrite(const fs::path& file, std::vector<char>& buffer)
{
    ReadWhole(file, buffer);
    const fs::path folder = file.parent_path();
    const int out = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    fs::path backup = file;
    backup += ".bak";
    const fs::path linked = folder / ("." + file.filename().string() + ".bak-new");
    const fs::path staged = folder / ("." + file.filename().string() + ".new");
    const std::string self = "/proc/self/fd/" + std::to_string(out);
    const bool backedUp =
        ::link(file.c_str(), backup.c_str()) == 0 ||
        (errno == EEXIST && ::link(file.c_str(), linked.c_str()) == 0 && ::rename(linked.c_str(), backup.c_str()) == 0);
    if (out < 0 || ::write(out, buffer.data(), buffer.size()) != static_cast<ssize_t>(buffer.size()) || !backedUp ||
        ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, staged.c_str(), AT_SYMLINK_FOLLOW) != 0 || ::close(out) != 0 ||
        ::rename(staged.c_str(), file.c_str()) != 0) {
        std::perror(file.c_str());
        std::exit(1);
    }
}

/// Runs `each` over the indexes of `count` files on `threads` threads, each taking every threads-th.
template <typename Each> void OnThreads(std::size_t count, std::size_t threads, Each each)
{
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        workers.emplace_back([count, threads, t, &each] {
            std::vector<char> buffer;
            for (std::size_t i = t; i < count; i += threads)
                each(i, buffer);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
}

/// The seconds of the safe-rewrite floor of the files (SafeRewrite) on `threads` threads; with
/// `readAhead`, the files are read ahead of the threads as a run reads its files ahead.
inline double SafeRewriteFloorSeconds(const std::vector<fs::path>& files, std::size_t threads, bool readAhead = false)
{
    const PathList list(files);
    const auto start = Clock::now();
    std::optional<ReadAhead> ahead;
    if (readAhead)
        ahead.emplace(list, SystemFileCalls());
    OnThreads(files.size(), threads, [&](std::size_t i, std::vector<char>& buffer) {
        if (ahead)
            ahead->Reached(i);
        SafeRewrite(files[i], buffer);
    });
    ahead.reset();
    return Seconds(start);
}

/// Settings of a run GB to BIG5 with backups, with `jobs` files at once.
inline RunSettings GbToBig5(std::size_t jobs = 1)
{
    RunSettings settings;
    settings.conversion.text.source = EncodingId::Gb;
    settings.conversion.text.target = EncodingId::Big5;
    settings.conversion.disk.keepBackup = true;
    settings.jobs = jobs;
    return settings;
}

/// The run engine converting every file with the settings, as the window and veltran-cli run it.
/// Exits the benchmark when a file fails.
inline double RunSeconds(const std::vector<fs::path>& files, const RunSettings& settings)
{
    SilentHost host;
    FixedFileOptions options(false, false);
    const RuleTable rules;
    const auto start = Clock::now();
    const RunOutcome outcome = RunBatch(
        files, settings, RunRoles{host, host, options},
        [&](const fs::path& path, const ConvertOptions& o, const FileSystemCalls& calls, ConversionNotes& notes) {
            return ConvertFile(path, o, rules, calls, &notes);
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

/// The run engine converting every file GB to BIG5 with backups, with `jobs` files at once.
inline double BatchSeconds(const std::vector<fs::path>& files, std::size_t jobs = 1)
{
    return RunSeconds(files, GbToBig5(jobs));
}

/// What a benchmark over real sites is given: SITES [VELTRAN_CLI [MEASUREMENTS...]].
struct SiteBenchArguments
{
    fs::path sites;                        // as written by bench/real-sites.sh
    std::string cli;                       // veltran-cli: the one given, or the one built beside the benchmark
    std::vector<std::string> measurements; // those asked for; none asks for all
    fs::path work;                         // a new folder under $VELTRAN_BENCH_WORK or /tmp for the copies

    bool Wanted(const char* measurement) const
    {
        return measurements.empty() ||
               std::find(measurements.begin(), measurements.end(), measurement) != measurements.end();
    }
};

/// Reads the arguments and makes the work folder; exits with `usage` when no SITES is given.
inline SiteBenchArguments ParseSiteBenchArguments(int argc, char** argv, const char* usage)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s\n", usage);
        std::exit(2);
    }
    SiteBenchArguments arguments;
    arguments.sites = argv[1];
    arguments.cli = argc > 2
                        ? std::string(argv[2])
                        : (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli/veltran-cli").string();
    arguments.measurements.assign(argv + std::min(argc, 3), argv + argc);
    for (const char* made : {"utf8-cn", "utf8-tw", "gb", "text/gb.txt", "text/utf8.txt"}) {
        if (!fs::exists(arguments.sites / made))
            Fail((arguments.sites / made).string() + " is missing; run bench/real-sites.sh first");
    }
    // VELTRAN_BENCH_WORK names the file system the copies are made on (default /tmp).
    const char* under = std::getenv("VELTRAN_BENCH_WORK");
    std::string pattern = std::string(under != nullptr && *under != '\0' ? under : "/tmp") + "/veltran-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        Fail("cannot make a temporary folder in " + pattern);
    arguments.work = pattern;
    return arguments;
}

} // namespace veltran::bench
