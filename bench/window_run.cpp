// The window's run against veltran-cli's on the same tree of small pages, both converting GB to UTF-8
// with backups: the window offscreen on scripted services, veltran-cli as a whole process. Prints
// each time and their ratio; the window's run should stay within 1.1 times the command line's. Then
// the longest the window's thread goes without handling its events while one file of 150 MB
// converts, which should stay within 0.1 s.
//   bench_window_run [COPIES]   (the sample site copied COPIES times, 5 pages each; default 700)

#include "CliProcess.h"
#include "RuleTable.h"
#include "ScriptedServices.h"
#include "frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace veltran;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void MakeTree(const fs::path& root, int copies)
{
    fs::remove_all(root);
    fs::create_directories(root);
    for (int i = 0; i < copies; ++i)
        fs::copy(VELTRAN_SAMPLES_DIR, root / ("part" + std::to_string(i)), fs::copy_options::recursive);
}

double TimeWindowRun(const fs::path& work, int copies)
{
    MakeTree(work / "site", copies);
    test::ScriptedServices services;
    RuleTable rules;
    frmMain window(services.Services(), rules, WindowFolders{work / "Veltran.log", work});
    window.show();
    window.AddPaths({work / "site"});
    window.Controls().chkU8BOM->setChecked(false);
    services.messageBox.answers.Queue(MessageResult::Ok);
    QEventLoop ended;
    QObject::connect(&window, &frmMain::runFinished, &ended, &QEventLoop::quit);
    const auto start = Clock::now();
    window.Controls().cmdStartConvert->click();
    ended.exec();
    const double seconds = Seconds(start);
    if (services.messageBox.calls.size() != 1 || services.messageBox.calls.front().text != "文件处理完成。") {
        std::fprintf(stderr, "the window's run did not complete cleanly\n");
        std::exit(1);
    }
    return seconds;
}

double TimeCliRun(const fs::path& work, int copies)
{
    MakeTree(work / "site", copies);
    const auto start = Clock::now();
    const test::CliResult result =
        test::RunCliProcess({"--quiet", "--from", "gb", "--to", "utf8", "--log", "Veltran.log", "site"}, work);
    const double seconds = Seconds(start);
    if (result.status != 0) {
        std::fprintf(stderr, "veltran-cli failed: %s\n", result.err.c_str());
        std::exit(1);
    }
    return seconds;
}

// The longest gap, in milliseconds, between the ticks of a 10 ms timer on the window's thread while
// the window converts one file of at least `megabytes` (the sample pages over and over), GB to UTF-8.
double LongestPauseDuringLargeFile(const fs::path& work, int megabytes)
{
    const fs::path file = work / "large" / "large.htm";
    fs::create_directories(file.parent_path());
    {
        std::string page;
        for (const char* name : {"index.htm", "news/2026.htm", "default.asp"}) {
            std::ifstream in(fs::path(VELTRAN_SAMPLES_DIR) / name, std::ios::binary);
            page.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::ofstream out(file, std::ios::binary);
        for (std::size_t written = 0; written < static_cast<std::size_t>(megabytes) * 1'000'000; written += page.size())
            out << page;
    }
    test::ScriptedServices services;
    RuleTable rules;
    frmMain window(services.Services(), rules, WindowFolders{work / "Veltran.log", work});
    window.show();
    window.AddPaths({file});
    services.messageBox.answers.Queue(MessageResult::Ok);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    ticks.setInterval(10);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QEventLoop ended;
    QObject::connect(&window, &frmMain::runFinished, &ended, &QEventLoop::quit);
    window.Controls().cmdStartConvert->click();
    sinceTick.start();
    ticks.start();
    ended.exec();
    if (services.messageBox.calls.size() != 1 || services.messageBox.calls.front().text != "文件处理完成。") {
        std::fprintf(stderr, "the large file was not converted cleanly\n");
        std::exit(1);
    }
    fs::remove_all(file.parent_path());
    return longest;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int copies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 700;
    // In memory where the system offers it, so that the disk's noise does not drown the difference.
    if (fs::is_directory("/dev/shm"))
        setenv("TMPDIR", "/dev/shm", 1);
    test::TempDir work;

    std::vector<double> window;
    std::vector<double> cli;
    TimeWindowRun(work.Path(), copies); // warms the file system and the caches
    // The order changes every round, so that neither side always follows the other's file churn.
    for (int round = 0; round < 6; ++round) {
        if (round % 2 == 0)
            window.push_back(TimeWindowRun(work.Path(), copies));
        cli.push_back(TimeCliRun(work.Path(), copies));
        if (round % 2 == 1)
            window.push_back(TimeWindowRun(work.Path(), copies));
    }
    const double windowSeconds = Median(window);
    const double cliSeconds = Median(cli);
    std::printf("%d small pages, GB to UTF-8 with backups, median of 6 rounds in alternating order\n", copies * 5);
    std::printf("  window's run      %.3f s\n", windowSeconds);
    std::printf("  veltran-cli       %.3f s (whole process, folder scan included)\n", cliSeconds);
    std::printf("  ratio             %.2f (target <= 1.1)\n", windowSeconds / cliSeconds);
    const double pause = LongestPauseDuringLargeFile(work.Path(), 150);
    std::printf("while one 150 MB file converts, the window's thread handles its events at least every %.0f ms "
                "(target <= 100)\n",
                pause);
    return 0;
}
