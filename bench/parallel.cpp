// Figures of the run with several jobs, each a ratio measured in this run:
//   - site: the run engine converting the real-pages site, copied to at least 30,000 files, GB to
//     BIG5 with backups, with one job and with one per core, against the safe-rewrite floor
//     (SafeRewrite: the calls a converter that keeps its promises makes, without converting) on one
//     thread and on one per core;
//   - cold: the same with the page cache dropped before each side (root only), so that every side
//     reads the files and their folders from the disk, and a floor that reads its files ahead as
//     the run does (ReadAhead);
//     both print the run's processor time beyond the floor's, a fifth of the floor's (what the target
//     leaves where the floor keeps every core busy) and the time of converting the pages in memory;
//   - speedup: one job per core against one job where the run is processor-bound: large files in
//     the page cache, and the window's check (a dry run) over the site;
//   - many: veltran-cli over 10,000 and 100,000 small files with -j 1 and with one job per core,
//     its time and peak memory, and those of a dry run, which keeps a note of every file.
// On a machine with few cores the speed-up is measured on those few; the figures say how many.
//
// Usage: bench_parallel SITES [VELTRAN_CLI [MEASUREMENTS...]]   (SITES as written by bench/real-sites.sh;
// MEASUREMENTS any of site cold speedup many; the copies go under $VELTRAN_BENCH_WORK or /tmp)

#include "BenchSupport.h"
#include "FileBytesConversion.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veltran;
using namespace veltran::bench;

namespace {

std::size_t Cores()
{
    return std::max<std::size_t>(1, std::thread::hardware_concurrency());
}

// Writes back what is dirty and drops the page cache, dentries and inodes; false where that is not allowed.
bool DropPageCache()
{
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.close();
    return static_cast<bool>(drop);
}

// Microseconds a page of converting the site's pages in memory, GB to BIG5 as the run does (the
// reading chosen, then converted), best of five rounds over them all: the conversion's processor
// time with nothing else in the caches.
double ConversionInMemoryMicroseconds(const fs::path& site)
{
    std::vector<Bytes> pages;
    for (const fs::path& page : PagesOf(site))
        pages.push_back(ReadBytes(page));
    const TextOptions options = GbToBig5().conversion.text;
    const RuleTable rules;
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        for (const Bytes& page : pages) {
            ConversionNotes notes;
            if (!ConvertContent(page, options, rules, {}, notes)) {
                std::fprintf(stderr, "conversion failed\n");
                std::exit(1);
            }
        }
        best = std::min(best, Seconds(start));
    }
    return best * 1e6 / static_cast<double>(pages.size());
}

void MeasureSite(const fs::path& sites, const fs::path& work, bool cold)
{
    if (cold && !DropPageCache()) {
        std::printf("site read from the disk: not measured (dropping the page cache needs root)\n");
        return;
    }
    const std::size_t cores = Cores();
    double floorOne = 1e9;
    double floorCores = 1e9;
    double runOne = 1e9;
    double runCores = 1e9;
    // Read from the disk, the run reads its files ahead; so may a floor, for comparison.
    double floorAhead = 1e9;
    const int sides = cold ? 5 : 4;
    // Processor time of the floor and of the run, all threads and rounds: where the run's extra time goes.
    ProcessorSeconds floorTime;
    ProcessorSeconds runTime;
    std::size_t files = 0;
    // Nothing is deleted until the end, so that every side meets a file system in the same state;
    // the order alternates, so that no side always comes first.
    for (int round = 0; round < 2; ++round) {
        const std::vector<std::vector<fs::path>> sets =
            CopySite(sites / "gb", work / ((cold ? "cold" : "site") + std::to_string(round)), 30000,
                     cold ? std::vector<std::string>{"floor1", "floorN", "run1", "runN", "floorA"}
                          : std::vector<std::string>{"floor1", "floorN", "run1", "runN"});
        files = sets[0].size();
        for (int i = 0; i < sides; ++i) {
            const int which = round % 2 == 0 ? i : sides - 1 - i;
            if (cold)
                DropPageCache();
            const ProcessorSeconds before = ProcessorSecondsNow();
            if (which == 0)
                floorOne = std::min(floorOne, SafeRewriteFloorSeconds(sets[0], 1));
            else if (which == 1)
                floorCores = std::min(floorCores, SafeRewriteFloorSeconds(sets[1], cores));
            else if (which == 2)
                runOne = std::min(runOne, BatchSeconds(sets[2], 1));
            else if (which == 3)
                runCores = std::min(runCores, BatchSeconds(sets[3], cores));
            else
                floorAhead = std::min(floorAhead, SafeRewriteFloorSeconds(sets[4], cores, true));
            // The floor that reads ahead is only timed: the processor times compare the run with the floor.
            if (which < 4) {
                const ProcessorSeconds after = ProcessorSecondsNow();
                ProcessorSeconds& side = which < 2 ? floorTime : runTime;
                side.user += after.user - before.user;
                side.system += after.system - before.system;
            }
        }
    }
    const double floor = std::min(floorOne, floorCores);
    const double run = std::min(runOne, runCores);
    const double ratio = run / floor;
    std::printf("site of %zu real pages, GB to BIG5 with backups, %zu cores, %s:\n", files, cores,
                cold ? "read from the disk (the page cache dropped before each side)" : "in the page cache");
    std::printf("  safe-rewrite floor (read, unnamed file, write, backup link, name, rename): 1 thread %.3f s, "
                "%zu threads %.3f s\n",
                floorOne, cores, floorCores);
    std::printf("  run: -j 1 %.3f s, -j %zu %.3f s; the better run = %.2f x the better floor  target <= 1.2  %s\n",
                runOne, cores, runCores, ratio, Verdict(ratio <= 1.2));
    // Each side ran four times: twice with one thread, twice with one per core.
    const double perPage = 1e6 / (4.0 * static_cast<double>(files));
    // Far steadier than the times on a shared machine: what the run costs beyond the floor, whoever else runs.
    const double floorProcessor = floorTime.user + floorTime.system;
    const double runProcessor = runTime.user + runTime.system;
    std::printf("  processor time per page: floor %.0f us (user %.0f, system %.0f); run %.0f us (user %.0f, system "
                "%.0f) = %.2f x the floor's\n",
                floorProcessor * perPage, floorTime.user * perPage, floorTime.system * perPage, runProcessor * perPage,
                runTime.user * perPage, runTime.system * perPage, runProcessor / floorProcessor);
    if (cold)
        std::printf("  the floor with its files read ahead as the run reads them, %zu threads: %.3f s; the better run "
                    "= %.2f x that\n",
                    cores, floorAhead, run / floorAhead);
    std::printf("  -j 1 = %.2f x the 1-thread floor; -j %zu = %.2f x the %zu-thread floor\n", runOne / floorOne, cores,
                runCores / floorCores, cores);
    // Where the floor keeps every core busy, the run can take at most a fifth more processor time than it.
    std::printf("  a fifth of the floor's processor time: %.0f us a page; converting the pages in memory alone takes "
                "%.1f us a page, the run's processor time beyond the floor's %.0f us\n",
                0.2 * floorProcessor * perPage, ConversionInMemoryMicroseconds(sites / "gb"),
                (runProcessor - floorProcessor) * perPage);
}

// Seconds of a dry run (the window's check) over the files, GB to BIG5, with `jobs`.
double CheckSeconds(const std::vector<fs::path>& files, std::size_t jobs)
{
    RunSettings settings = GbToBig5(jobs);
    settings.conversion.disk.dryRun = true;
    settings.conversion.record.unmappable = true;
    settings.keepRecords = true;
    return RunSeconds(files, settings);
}

void MeasureSpeedup(const fs::path& sites, const fs::path& work)
{
    const std::size_t cores = Cores();
    const Bytes text = ReadBytes(sites / "text" / "gb.txt");
    const std::size_t count = 4 * cores;
    double one = 1e9;
    double many = 1e9;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::vector<fs::path>> sets(2);
        for (std::size_t set = 0; set < 2; ++set) {
            const fs::path folder = work / ("large" + std::to_string(round) + "-" + std::to_string(set));
            fs::create_directories(folder);
            for (std::size_t i = 0; i < count; ++i) {
                sets[set].push_back(folder / ("text" + std::to_string(i) + ".txt"));
                std::ofstream(sets[set].back(), std::ios::binary)
                    .write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size()));
            }
        }
        one = std::min(one, BatchSeconds(sets[0], 1));
        many = std::min(many, BatchSeconds(sets[1], cores));
        fs::remove_all(sets[0].front().parent_path());
        fs::remove_all(sets[1].front().parent_path());
    }
    const double speedup = one / many;
    std::printf("%zu files of %.1f MB in the page cache, GB to BIG5 with backups: -j 1 %.3f s, -j %zu %.3f s; "
                "speed-up %.2f = %.2f x %zu cores  target >= 0.8 x cores  %s\n",
                count, static_cast<double>(text.size()) / 1e6, one, cores, many, speedup, speedup / cores, cores,
                Verdict(speedup >= 0.8 * cores));

    const std::vector<fs::path> pages = CopySite(sites / "gb", work / "check", 10000, {"page"}).front();
    double checkOne = 1e9;
    double checkMany = 1e9;
    for (int round = 0; round < 3; ++round) {
        checkOne = std::min(checkOne, CheckSeconds(pages, 1));
        checkMany = std::min(checkMany, CheckSeconds(pages, cores));
    }
    const double checkSpeedup = checkOne / checkMany;
    std::printf("the window's check (dry run) over %zu real pages: -j 1 %.3f s, -j %zu %.3f s; speed-up %.2f = "
                "%.2f x %zu cores  target >= 0.8 x cores  %s\n",
                pages.size(), checkOne, cores, checkMany, checkSpeedup, checkSpeedup / cores, cores,
                Verdict(checkSpeedup >= 0.8 * cores));
    fs::remove_all(work / "check");
}

// `count` small pages (the first two kilobytes of the real pages, cut after a line) in folders of
// a hundred.
fs::path SmallTree(const fs::path& sites, const fs::path& root, std::size_t count)
{
    std::vector<Bytes> heads;
    for (const fs::path& page : PagesOf(sites / "gb")) {
        Bytes bytes = ReadBytes(page);
        const auto cut = std::find(
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 2000)), bytes.end(), '\n');
        bytes.erase(cut, bytes.end());
        heads.push_back(std::move(bytes));
    }
    for (std::size_t i = 0; i < count; ++i) {
        const fs::path folder = root / ("d" + std::to_string(i / 100));
        if (i % 100 == 0)
            fs::create_directories(folder);
        const Bytes& head = heads[i % heads.size()];
        std::ofstream(folder / ("p" + std::to_string(i) + ".htm"), std::ios::binary)
            .write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    }
    return root;
}

void MeasureManyFiles(const fs::path& sites, const std::string& cli, const fs::path& work)
{
    const std::size_t cores = Cores();
    std::printf("small pages by veltran-cli, GB to BIG5 with backups and the log, a tree made afresh for each run:\n");
    for (const std::size_t count : {std::size_t{10000}, std::size_t{100000}}) {
        for (const std::size_t jobs : {std::size_t{1}, cores}) {
            const fs::path tree = SmallTree(sites, work / "many", count);
            if (jobs == cores) {
                // The check keeps a note of every file, to list them all at its end.
                const ProcessRun check = RunProcess({cli, "--quiet", "--dry-run", "--from", "gb", "--to", "big5", "-j",
                                                     std::to_string(jobs), tree.string()});
                std::printf("  %6zu files, --dry-run -j %zu: %.2f s, peak memory %.1f MB\n", count, jobs, check.seconds,
                            check.peakMegabytes);
            }
            const ProcessRun run =
                RunProcess({cli, "--quiet", "--from", "gb", "--to", "big5", "-j", std::to_string(jobs), "--log",
                            (work / "many.log").string(), tree.string()});
            std::printf("  %6zu files, -j %zu: %.2f s, peak memory %.1f MB\n", count, jobs, run.seconds,
                        run.peakMegabytes);
            std::fflush(stdout);
            fs::remove_all(tree);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const SiteBenchArguments arguments =
        ParseSiteBenchArguments(argc, argv, "bench_parallel SITES [VELTRAN_CLI [MEASUREMENTS...]]");
    if (arguments.Wanted("site"))
        MeasureSite(arguments.sites, arguments.work, false);
    std::fflush(stdout);
    if (arguments.Wanted("cold"))
        MeasureSite(arguments.sites, arguments.work, true);
    std::fflush(stdout);
    if (arguments.Wanted("speedup"))
        MeasureSpeedup(arguments.sites, arguments.work);
    std::fflush(stdout);
    if (arguments.Wanted("many"))
        MeasureManyFiles(arguments.sites, arguments.cli, arguments.work);
    fs::remove_all(arguments.work);
    return 0;
}
