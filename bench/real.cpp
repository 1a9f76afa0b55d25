// Figures on real Chinese web pages (Debian's reference manual, made into sites by
// bench/real-sites.sh), each a ratio against a reference measured in the same run:
//   - the mapping alone against libopencc, both directions;
//   - veltran-cli converting one large text GB to BIG5 against OpenCC's `opencc` command running
//     tw2s then s2tw on the same text as UTF-8, both timed as whole processes;
//   - the run engine converting the GB site, copied to at least 3,000 files, to BIG5 with backups,
//     against the I/O floor of the same files;
//   - the peak memory of veltran-cli converting one file of at least 200 MB.
//
// Usage: bench_real SITES [VELTRAN_CLI [MEASUREMENTS...]]   (SITES as written by bench/real-sites.sh; MEASUREMENTS
// any of mapping process site options memory; the copies go under $VELTRAN_BENCH_WORK or /tmp)

#include "BenchSupport.h"
#include "ChineseMapping.h"
#include "OpenccConverter.h"
#include "RunJob.h"
#include "RunReport.h"
#include "TextCodecs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veltran;
using namespace veltran::bench;

namespace {

// Every page of a UTF-8 site, one after another.
std::u16string SiteText(const fs::path& site, std::size_t& utf8Bytes)
{
    Bytes all;
    for (const fs::path& page : PagesOf(site)) {
        const Bytes bytes = ReadBytes(page);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    utf8Bytes = all.size();
    DecodeResult decoded = Utf8Decode(all);
    if (!decoded) {
        Fail(site.string() + " is not UTF-8");
    }
    return std::move(*decoded);
}

void MeasureMapping(const char* name, std::u16string (*ours)(std::u16string_view), const char* config,
                    const fs::path& site)
{
    std::size_t utf8Bytes = 0;
    const std::u16string text = SiteText(site, utf8Bytes);
    const double megabytes = static_cast<double>(utf8Bytes) / 1e6;
    std::u16string out = ours(text);
    double best = 1e9;
    for (int i = 0; i < 10; ++i) {
        const auto start = Clock::now();
        out = ours(text);
        best = std::min(best, Seconds(start));
    }
    const OpenccConverter reference(std::string(kOpenccDataDir) + config);
    const auto start = Clock::now();
    const std::u16string expected = reference.Convert(text);
    const double referenceSeconds = Seconds(start);
    const double ratio = referenceSeconds / best;
    const std::size_t differing = DifferingUnits(out, expected);
    std::printf("mapping alone, %-22s %6.1f MB  ours %7.1f MB/s  libopencc %5.2f MB/s  ratio %6.1f  target >= 30  %s"
                "  (%zu units differ from OpenCC's chain)\n",
                name, megabytes, megabytes / best, megabytes / referenceSeconds, ratio, Verdict(ratio >= 30),
                differing);
}

void MeasureWholeProcess(const fs::path& sites, const std::string& cli, const fs::path& work)
{
    const fs::path gbText = sites / "text" / "gb.txt";
    const fs::path utf8Text = sites / "text" / "utf8.txt";
    const fs::path ours = work / "text.txt";
    const fs::path middle = work / "opencc-tw2s.txt";
    const fs::path theirs = work / "opencc-s2tw.txt";
    const std::string tw2s = std::string(kOpenccDataDir) + kTw2sConfig;
    const std::string s2tw = std::string(kOpenccDataDir) + kS2twConfig;
    double oursBest = 1e9;
    double theirsBest = 1e9;
    // Alternated, so that a busy moment of the machine weighs on both sides.
    for (int round = 0; round < 2; ++round) {
        const double opencc =
            RunProcess({"opencc", "-c", tw2s, "-i", utf8Text.string(), "-o", middle.string()}).seconds +
            RunProcess({"opencc", "-c", s2tw, "-i", middle.string(), "-o", theirs.string()}).seconds;
        theirsBest = std::min(theirsBest, opencc);
        for (int i = 0; i < 3; ++i) {
            fs::copy_file(gbText, ours, fs::copy_options::overwrite_existing);
            fs::remove(work / "text.txt.bak");
            oursBest =
                std::min(oursBest, RunProcess({cli, "--quiet", "--from", "gb", "--to", "big5", ours.string()}).seconds);
        }
    }
    // OpenCC's output in BIG5, with '?' for what BIG5 lacks, is what veltran-cli must have written.
    const DecodeResult opencc = Utf8Decode(ReadBytes(theirs));
    const bool same = opencc && EncodeBig5(*opencc) == ReadBytes(ours);
    const double megabytes = static_cast<double>(fs::file_size(gbText)) / 1e6;
    const double ratio = theirsBest / oursBest;
    std::printf("one %.1f MB text, GB to BIG5: veltran-cli %.3f s; opencc tw2s then s2tw on its UTF-8 %.2f s; "
                "ratio %.1f  target >= 30  %s%s\n",
                megabytes, oursBest, theirsBest, ratio, Verdict(ratio >= 30), same ? "" : "  OUTPUT DIFFERS");
}

void MeasureWholeSite(const fs::path& sites, const fs::path& work)
{
    double floorBest = 1e9;
    double safeBest = 1e9;
    double runBest = 1e9;
    std::size_t files = 0;
    // Nothing is deleted until the end: the file system takes longer to make new files while it
    // holds many that were deleted a moment ago, and that would weigh on whichever side came next.
    for (int round = 0; round < 4; ++round) {
        const std::vector<std::vector<fs::path>> sets =
            CopySite(sites / "gb", work / ("site" + std::to_string(round)), 3000, {"floor", "safe", "run"});
        files = sets[2].size();
        // Alternated, so that no side always comes first.
        for (int i = 0; i < 3; ++i) {
            const int which = round % 2 == 0 ? i : 2 - i;
            if (which == 0) {
                floorBest = std::min(floorBest, IoFloorSeconds(sets[0]));
            } else if (which == 1) {
                safeBest = std::min(safeBest, SafeReplaceSeconds(sets[1]));
            } else {
                runBest = std::min(runBest, BatchSeconds(sets[2]));
            }
        }
    }
    const double ratio = runBest / floorBest;
    std::printf("site of %zu real pages, GB to BIG5 with backups: run %.3f s; I/O floor (read, rename to .bak, "
                "write) %.3f s; ratio %.2f  target <= 1.5  %s\n",
                files, runBest, floorBest, ratio, Verdict(ratio <= 1.5));
    std::printf("  the floor's I/O through a new file beside each and two renames, as a replacement that never "
                "leaves a path without its file does it: %.3f s = %.2f x the floor; the run = %.2f x that\n",
                safeBest, safeBest / floorBest, runBest / safeBest);
}

// The whole job as veltran-cli runs it, GB to BIG5 with backups, timed in this process.
struct JobVariant
{
    const char* name;
    bool noteUnmappable;
    bool allOptions; // declarations, references, hashes and the JSON report
    bool log;        // the run log, which the window always writes
};

struct JobTime
{
    double wall;
    double user; // processor time in this process's own code, without the kernel's
};

double UserSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

JobTime JobSeconds(const std::vector<fs::path>& files, const JobVariant& variant, const fs::path& report)
{
    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Big5, true);
    request.settings.conversion.record = {variant.noteUnmappable, variant.allOptions};
    request.settings.conversion.text.rewriteDeclarations = variant.allOptions;
    request.settings.conversion.text.unmappableAsReferences = variant.allOptions;
    request.settings.keepRecords = variant.noteUnmappable;
    request.entries = files;
    if (variant.log)
        request.logPath = report.parent_path() / "run.log";
    SilentHost host;
    FixedFileOptions options(false, false);
    RuleTable rules;
    const double userStart = UserSeconds();
    const auto start = Clock::now();
    const RunOutcome outcome = RunJob(request, rules, RunRoles{host, host, options});
    if (variant.allOptions && !WriteRunReport(report, request, outcome, "start", "end"))
        Fail("the report was not written");
    const JobTime time{Seconds(start), UserSeconds() - userStart};
    if (!outcome.failures.empty())
        Fail(std::to_string(outcome.failures.size()) + " files failed: " + outcome.failures.front().reason.message);
    return time;
}

// What the site's options cost: the run as it was before them, veltran-cli's default (which always
// counts the characters the target lacks), and every option with the report; and the plain run and
// every option again, each writing the run log as the window does. The report and the log are each
// flushed to the disk, which makes the run's files wait for theirs: with the log the plain run pays
// that too.
void MeasureSiteOptions(const fs::path& sites, const fs::path& work)
{
    const std::array<JobVariant, 5> variants{
        JobVariant{"bare", false, false, false}, JobVariant{"default", true, false, false},
        JobVariant{"all", true, true, false}, JobVariant{"bareLog", false, false, true},
        JobVariant{"allLog", true, true, true}};
    // Each round in another order, so that none gains from its place in it; best of six.
    std::array<double, 5> best{};
    std::array<double, 5> bestUser{};
    best.fill(1e9);
    bestUser.fill(1e9);
    std::size_t files = 0;
    std::vector<std::string> names;
    for (const JobVariant& variant : variants)
        names.push_back(variant.name);
    for (std::size_t round = 0; round < 6; ++round) {
        const std::vector<std::vector<fs::path>> sets =
            CopySite(sites / "gb", work / ("options" + std::to_string(round)), 3000, names);
        files = sets[0].size();
        for (std::size_t step = 0; step < variants.size(); ++step) {
            const std::size_t which =
                (round % 2 == 0 ? round + step : round + variants.size() - step) % variants.size();
            const JobTime time = JobSeconds(sets[which], variants[which], work / "report.json");
            best[which] = std::min(best[which], time.wall);
            bestUser[which] = std::min(bestUser[which], time.user);
        }
    }
    const double all = best[2] / best[0];
    std::printf("site of %zu real pages, GB to BIG5 with backups: run without notes %.3f s; with the lost characters "
                "counted (veltran-cli's default) %.3f s = %.2f x; with --declarations --references --report %.3f s "
                "= %.2f x  target <= 1.2  %s\n",
                files, best[0], best[1], best[1] / best[0], best[2], all, Verdict(all <= 1.2));
    // The file system's share of a run varies from one moment to the next; the options' own cost
    // is in the processor time of the program's code.
    std::printf("  processor time outside the kernel: %.3f s, %.3f s = %.2f x, %.3f s = %.2f x\n", bestUser[0],
                bestUser[1], bestUser[1] / bestUser[0], bestUser[2], bestUser[2] / bestUser[0]);
    const double logged = best[4] / best[3];
    std::printf("  both writing the run log, as the window does: run without notes %.3f s; every option %.3f s "
                "= %.2f x  target <= 1.2  %s\n",
                best[3], best[4], logged, Verdict(logged <= 1.2));
}

void MeasurePeakMemory(const fs::path& sites, const std::string& cli, const fs::path& work)
{
    const Bytes text = ReadBytes(sites / "text" / "gb.txt");
    const fs::path big = work / "big.txt";
    {
        std::ofstream out(big, std::ios::binary);
        for (std::size_t written = 0; written < 200'000'000; written += text.size()) {
            out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size()));
        }
    }
    const double megabytes = static_cast<double>(fs::file_size(big)) / 1e6;
    const ProcessRun run = RunProcess({cli, "--quiet", "--no-backup", "--from", "gb", "--to", "big5", big.string()});
    const double times = run.peakMegabytes / megabytes;
    std::printf("one %.0f MB file, GB to BIG5 by veltran-cli: %.2f s, peak memory %.0f MB = %.2f x the file  "
                "target <= 3  %s\n",
                megabytes, run.seconds, run.peakMegabytes, times, Verdict(times <= 3));
    fs::remove(big);
}

} // namespace

int main(int argc, char** argv)
{
    // Without MEASUREMENTS every measurement runs; with them, only those named (mapping, process, site,
    // options, memory), one argument each.
    const SiteBenchArguments arguments =
        ParseSiteBenchArguments(argc, argv, "bench_real SITES [VELTRAN_CLI [MEASUREMENTS...]]");
    const fs::path& sites = arguments.sites;
    const std::string& cli = arguments.cli;
    const fs::path& work = arguments.work;
    const auto wanted = [&](const char* measurement) { return arguments.Wanted(measurement); };

    if (wanted("mapping")) {
        MeasureMapping("to Traditional", &ToTraditional, kS2twConfig, sites / "utf8-cn");
        MeasureMapping("to Simplified", &ToSimplified, kT2sConfig, sites / "utf8-tw");
        MeasureMapping("Simplified to Simplified", &ToSimplified, kT2sConfig, sites / "utf8-cn");
        MeasureMapping("Taiwan to Simplified", &TaiwanToSimplified, kTw2sConfig, sites / "utf8-tw");
    }
    std::fflush(stdout);
    if (wanted("process"))
        MeasureWholeProcess(sites, cli, work);
    std::fflush(stdout);
    if (wanted("site"))
        MeasureWholeSite(sites, work);
    std::fflush(stdout);
    if (wanted("options"))
        MeasureSiteOptions(sites, work);
    std::fflush(stdout);
    if (wanted("memory"))
        MeasurePeakMemory(sites, cli, work);
    fs::remove_all(work);
    return 0;
}
