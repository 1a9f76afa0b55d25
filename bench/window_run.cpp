// The window's run against veltran-cli's on the same tree of small pages, both converting GB to UTF-8
// with backups: the window offscreen on scripted services, veltran-cli as a whole process. Prints
// each time and their ratio; the window's run should stay within 1.1 times the command line's.
//   bench_window_run [COPIES]   (the sample site copied COPIES times, 5 pages each; default 700)

#include "CliProcess.h"
#include "RuleTable.h"
#include "ScriptedServices.h"
#include "frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    return 0;
}
