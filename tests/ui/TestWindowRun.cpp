#include "CliProcess.h"
#include "FileListView.h"
#include "GatedFileCalls.h"
#include "ListMenu.h"
#include "TempDir.h"
#include "TestRunners.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <map>
#include <regex>

using namespace veltran;
using namespace veltran::test;

namespace {

namespace fs = std::filesystem;

const std::string kGbPage = "<p>\xD6\xD0\xCE\xC4</p>"; // 中文
// UTF-8 with the byte-order mark that the window's "带BOM" box asks for at first.
const std::string kUtf8Page = "\xEF\xBB\xBF<p>\xE4\xB8\xAD\xE6\x96\x87</p>";

std::string Masked(std::string text, const fs::path& folder)
{
    static const std::regex dateTime("[0-9]{4}/[0-9]{1,2}/[0-9]{1,2} [0-9]{1,2}:[0-9]{2}:[0-9]{2}");
    for (std::size_t at; (at = text.find(folder.string())) != std::string::npos;)
        text.replace(at, folder.string().size(), "<folder>");
    return std::regex_replace(text, dateTime, "T");
}

// Every file under the folder by relative path, contents masked as in Masked.
std::map<std::string, std::string> Tree(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = Masked(ReadBytes(entry.path()), folder);
    }
    return files;
}

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

class TestWindowRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runOverTheSamplesMatchesTheCommandLine();
    void failuresAreCountedLoggedAndTheLogOpens();
    void lossesAreAWarningAndLogged_data();
    void lossesAreAWarningAndLogged();
    void declarationsOptionRewritesThemInRunsAndChecks();
    void stopBeforeTheThirdFile_data();
    void stopBeforeTheThirdFile();
    void longRunRefreshesAboutAHundredTimes();
    void runsThatChangeNothingOrAreDeclined_data();
    void runsThatChangeNothingOrAreDeclined();
    void closingTheWindowEndsTheRunWithoutALog();
    void bomChangedDuringARunAppliesFromTheNextFile();
    void emptyListLogsHeaderAndCompletion();
    void logThatCannotBeWrittenIsReported();
    void checkForetellsTheRunAndChangesNothing();
    void pageFoundOnlyAsItsBackupIsPutBackAndTold();

private:
    const MainWindowControls& Controls() const { return m_fixture->window->Controls(); }
    ScriptedServices& Services() { return *m_fixture->services; }
    std::vector<fs::path> Site(std::size_t count, const std::string& bytes = kGbPage)
    {
        std::vector<fs::path> files;
        for (std::size_t i = 1; i <= count; ++i) {
            files.push_back(m_fixture->Folder() / "site" / ("f" + std::to_string(i) + ".htm"));
            fs::create_directories(files.back().parent_path());
            WriteFile(files.back(), bytes);
        }
        m_fixture->window->AddPaths(files);
        return files;
    }
    QStringList Captions() const
    {
        QStringList captions;
        for (const MessageRequest& call : m_fixture->services->messageBox.calls)
            captions << Text(call.caption);
        return captions;
    }
    void ExpectIdle() const
    {
        const MainWindowControls& c = Controls();
        for (const QWidget* control : {static_cast<QWidget*>(c.lstFiles), static_cast<QWidget*>(c.cmdAddFile),
                                       static_cast<QWidget*>(c.cmdExit), static_cast<QWidget*>(c.chkText)})
            QVERIFY(control->isEnabled());
        QVERIFY(!c.cmdStopConvert->isEnabled());
        QVERIFY(!c.cmdConvertInfo->isVisible());
    }

    bool StartAndWait()
    {
        return m_fixture->RunToEnd([this] { Controls().cmdStartConvert->click(); });
    }

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestWindowRun::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_fixture->window.get()));
}

void TestWindowRun::cleanup()
{
    m_fixture->window.reset();
    QVERIFY2(m_fixture->watchdog->Intrusions().isEmpty(), qPrintable(m_fixture->watchdog->Intrusions().join(", ")));
    QCOMPARE(Services().Unexpected(), 0);
    m_fixture.reset();
}

void TestWindowRun::runOverTheSamplesMatchesTheCommandLine()
{
    const fs::path window = m_fixture->Folder() / "window";
    const fs::path cli = m_fixture->Folder() / "cli";
    for (const fs::path& copy : {window, cli}) {
        fs::create_directories(copy);
        fs::copy(VELTRAN_SAMPLES_DIR, copy / "site", fs::copy_options::recursive);
    }
    m_fixture->window->AddPaths({window / "site"});
    Controls().optBig5->click();
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());
    fs::rename(m_fixture->Folder() / "Veltran.log", window / "Veltran.log");

    const CliResult result =
        RunCliProcess({"--quiet", "--from", "gb", "--to", "big5", "--log", "Veltran.log", "site"}, cli);
    QCOMPARE(result.status, 0);
    QCOMPARE(Captions(), QStringList{"完成"});
    QCOMPARE(Text(Services().messageBox.calls.front().text), QStringLiteral("文件处理完成。"));
    QVERIFY(Services().messageBox.calls.front().icon == MessageIcon::Information);
    QVERIFY(Tree(window) == Tree(cli));
    QVERIFY(fs::exists(window / "site" / "index.htm.bak"));
    ExpectIdle();
}

void TestWindowRun::failuresAreCountedLoggedAndTheLogOpens()
{
    const std::vector<fs::path> files = Site(3);
    WriteFile(files[1], "<p>\x81\x20</p>");
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());

    const fs::path log = m_fixture->Folder() / "Veltran.log";
    const MessageRequest& closing = Services().messageBox.calls.at(0);
    QCOMPARE(Text(closing.text), "处理完成，有 1 个文件处理失败。更多信息请查看文件：" + Text(log.string()));
    QCOMPARE(Text(closing.caption), QStringLiteral("完成"));
    QVERIFY(closing.icon == MessageIcon::Warning);
    QVERIFY(ReadBytes(log).find("处理失败：" + files[1].string() + "\r\n") != std::string::npos);
    QCOMPARE(Services().viewer.shown, std::vector<fs::path>{log});
    QVERIFY(Services().viewer.encodings.front() == EncodingId::Utf8);
    QCOMPARE(ReadBytes(files[2]), kUtf8Page);
}

void TestWindowRun::lossesAreAWarningAndLogged_data()
{
    QTest::addColumn<bool>("withFailure");
    QTest::addColumn<QString>("closing");
    const QString losses = QStringLiteral("1 个文件共 4 个字符目标编码没有，已写成 \"?\"。更多信息请查看文件：");
    QTest::newRow("losses only") << false << QStringLiteral("文件处理完成，但有 ") + losses;
    QTest::newRow("losses and a failure") << true << QStringLiteral("处理完成，有 1 个文件处理失败，另有 ") + losses;
}

// UTF-8 to GB of a page with an emoji and Korean: the run says what it wrote as "?" and where.
void TestWindowRun::lossesAreAWarningAndLogged()
{
    QFETCH(bool, withFailure);
    QFETCH(QString, closing);
    const std::vector<fs::path> files = Site(3, "<p>\xE4\xB8\xAD\xE6\x96\x87</p>");
    WriteFile(files[1], "<p>\xE4\xB8\xAD\xF0\x9F\x98\x80\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4</p>"); // 中😀한국어
    if (withFailure)
        WriteFile(files[2], "<p>\xFF</p>");
    Controls().optFrmUTF8->click();
    Controls().optGb->click();
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());

    const fs::path log = m_fixture->Folder() / "Veltran.log";
    const MessageRequest& message = Services().messageBox.calls.at(0);
    QCOMPARE(Text(message.text), closing + Text(log.string()));
    QCOMPARE(Text(message.caption), QStringLiteral("完成"));
    QVERIFY(message.icon == MessageIcon::Warning);
    QCOMPARE(ReadBytes(files[1]), std::string("<p>\xD6\xD0????") + "</p>");
    const std::string text = ReadBytes(log);
    const std::string lossLine =
        "字符丢失：" + files[1].string() +
        "（目标编码没有的字符 4 个，已写成 \"?\"：U+1F600 😀，U+D55C 한，U+AD6D 국，U+C5B4 어）\r\n";
    QVERIFY2(text.find(lossLine) != std::string::npos, text.c_str());
    QCOMPARE(text.find("处理失败：" + files[2].string() + "\r\n") != std::string::npos, withFailure);
    QCOMPARE(Services().viewer.shown, std::vector<fs::path>{log});
}

// Ticked in the list's menu, the option makes a run keep the pages' charset declarations true, and
// the check tells which it would rewrite; unticked, they stay as they are.
void TestWindowRun::declarationsOptionRewritesThemInRunsAndChecks()
{
    const std::string page = "<meta charset=\"gb2312\"><p>\xD6\xD0\xCE\xC4</p>";
    const std::vector<fs::path> files = Site(2, page);
    ListMenu& menu = m_fixture->window->ListContextMenu();
    QVERIFY(!menu.DeclarationsAction()->isChecked());
    menu.DeclarationsAction()->trigger();
    QVERIFY(m_fixture->RunToEnd([&] { menu.CheckAllAction()->trigger(); }));
    const std::string check = Masked(Services().viewer.texts.at(0).second, m_fixture->Folder());
    QVERIFY2(check.find("2 个将改写编码声明。\n") != std::string::npos, check.c_str());
    QVERIFY2(check.find("可以处理：<folder>/site/f1.htm\n    将改写编码声明 1 处（共 1 处）\n") != std::string::npos,
             check.c_str());
    QCOMPARE(ReadBytes(files[0]), page);

    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());
    QCOMPARE(ReadBytes(files[0]), "\xEF\xBB\xBF<meta charset=\"utf-8\"><p>\xE4\xB8\xAD\xE6\x96\x87</p>");

    menu.DeclarationsAction()->trigger();
    WriteFile(files[1], page);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());
    QCOMPARE(ReadBytes(files[1]), "\xEF\xBB\xBF<meta charset=\"gb2312\"><p>\xE4\xB8\xAD\xE6\x96\x87</p>");
}

void TestWindowRun::stopBeforeTheThirdFile_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("stop confirmed") << true;
    QTest::newRow("stop declined") << false;
}

// The run is held in the second file: the stop question holds back the third, and a confirmed stop
// lets the second finish and names the third.
void TestWindowRun::stopBeforeTheThirdFile()
{
    QFETCH(bool, confirmed);
    const std::vector<fs::path> files = Site(5);
    const MainWindowControls& c = Controls();
    GatedFileCalls gate("f2.htm");
    m_fixture->window->Run().SetJobs(1);
    m_fixture->window->Run().SetFileCalls(gate);
    Services().messageBox.answers.Queue(confirmed ? MessageResult::Ok : MessageResult::Cancel);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(m_fixture->RunToEnd([&] {
        // Whatever fails here, the run must not stay held.
        const auto release = qScopeGuard([&] { gate.Release(); });
        c.cmdStartConvert->click();
        QTRY_VERIFY(gate.Reached());
        // Five files refresh after each file: 20 % is shown once the first has finished.
        QTRY_COMPARE(c.lblInfo->text(), QStringLiteral("正在处理，已完成 20 %"));
        QVERIFY(!c.lstFiles->isEnabled() && !c.cmdStartConvert->isEnabled() && !c.chkBackup->isEnabled() &&
                !c.chkText->isEnabled() && c.cmdStopConvert->isEnabled() && !c.cmdAddDir->isEnabled() &&
                !c.cmdRemoveAll->isEnabled() && !c.cmdExit->isEnabled() && c.cmdAbout->isEnabled() &&
                c.optGb->isEnabled() && c.cmdConvertInfo->isVisible());
        QTest::mouseClick(c.cmdStopConvert, Qt::LeftButton);
        gate.Release();
    }));

    const MessageRequest& question = Services().messageBox.calls.at(0);
    QCOMPARE(Text(question.text), QStringLiteral("确定要终止当前的处理过程吗？"));
    QVERIFY(question.buttons == MessageButtons::OkCancel && question.defaultButton == DefaultButton::Second);
    const std::string log = ReadBytes(m_fixture->Folder() / "Veltran.log");
    QCOMPARE(ReadBytes(files[1]), kUtf8Page);
    if (confirmed) {
        QCOMPARE(Captions(), (QStringList{"中断", "中断"}));
        QCOMPARE(Text(Services().messageBox.calls.at(1).text), QStringLiteral("处理被终止。"));
        QCOMPARE(ReadBytes(files[2]), kGbPage);
        QVERIFY(log.find("*** 处理过程被用户终止于 ***\r\n" + files[2].string() + "\r\n\r\n终止时间：") !=
                std::string::npos);
        QVERIFY(Services().viewer.shown.empty());
    } else {
        QCOMPARE(Captions(), (QStringList{"中断", "完成"}));
        QCOMPARE(ReadBytes(files[4]), kUtf8Page);
        QVERIFY(log.find("终止") == std::string::npos);
    }
    ExpectIdle();
    // The last highlighted entry, the last file finished, stays selected.
    QCOMPARE(m_fixture->window->Files().SelectedCount(), std::size_t{1});
    QVERIFY(m_fixture->window->Files().IsSelected(confirmed ? 1 : 4));
}

// Held in the last of 250 files, the window shows 99 % with the 249th entry highlighted.
void TestWindowRun::longRunRefreshesAboutAHundredTimes()
{
    Site(250, "ab");
    GatedFileCalls gate("f250.htm");
    m_fixture->window->Run().SetJobs(1);
    m_fixture->window->Run().SetFileCalls(gate);
    QStringList shown;
    m_fixture->WhileHandlingEvents([&] {
        if (Controls().cmdConvertInfo->isVisible() && !shown.contains(Controls().lblInfo->text()))
            shown << Controls().lblInfo->text();
        return true;
    });
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(m_fixture->RunToEnd([&] {
        // Whatever fails here, the run must not stay held.
        const auto release = qScopeGuard([&] { gate.Release(); });
        Controls().cmdStartConvert->click();
        QTRY_VERIFY(gate.Reached());
        QTRY_COMPARE(Controls().lblInfo->text(), QStringLiteral("正在处理，已完成 99 %"));
        QVERIFY(m_fixture->window->Files().IsSelected(248));
        QCOMPARE(m_fixture->window->Files().SelectedCount(), std::size_t{1});
        gate.Release();
    }));
    QVERIFY(shown.size() <= 84); // "请稍侯" and one label per refresh, never more
}

void TestWindowRun::runsThatChangeNothingOrAreDeclined_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("backup");
    QTest::addColumn<int>("answer"); // to the confirmation; 0: none asked
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("converted");

    QTest::newRow("same encoding without rules: the notice only") << "optGb" << true << 0 << "提示" << false;
    QTest::newRow("no backup, declined") << "optUtf8" << false << int(MessageResult::Cancel) << "开始" << false;
    QTest::newRow("no backup, confirmed") << "optUtf8" << false << int(MessageResult::Ok) << "开始" << true;
}

void TestWindowRun::runsThatChangeNothingOrAreDeclined()
{
    QFETCH(QString, target);
    QFETCH(bool, backup);
    QFETCH(int, answer);
    QFETCH(QString, caption);
    QFETCH(bool, converted);

    const std::vector<fs::path> files = Site(2);
    m_fixture->window->findChild<QRadioButton*>(target)->click();
    Controls().chkBackup->setChecked(backup);
    Services().messageBox.answers.Queue(answer == 0 ? MessageResult::Ok : static_cast<MessageResult>(answer));
    if (converted)
        Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());

    const MessageRequest& first = Services().messageBox.calls.at(0);
    QCOMPARE(Text(first.caption), caption);
    if (answer == 0) {
        QCOMPARE(Text(first.text), QStringLiteral("编码格式和文件内容均不做改变，不需要处理。"));
        QVERIFY(first.icon == MessageIcon::Error);
    } else {
        QCOMPARE(Text(first.labels), QStringLiteral("OK，知道了,我再看看"));
        QVERIFY(first.buttons == MessageButtons::OkCancel && first.defaultButton == DefaultButton::Second &&
                first.icon == MessageIcon::Question);
    }
    QCOMPARE(ReadBytes(files[0]), converted ? kUtf8Page : kGbPage);
    QVERIFY(!fs::exists(files[0].string() + ".bak"));
    QCOMPARE(fs::exists(m_fixture->Folder() / "Veltran.log"), converted);
    QCOMPARE(Services().messageBox.calls.size(), std::size_t{converted ? 2u : 1u});
}

// Closed while the second file converts, the window lets it finish, starts no other and writes no log.
void TestWindowRun::closingTheWindowEndsTheRunWithoutALog()
{
    const std::vector<fs::path> files = Site(5);
    GatedFileCalls gate("f2.htm");
    m_fixture->window->Run().SetJobs(1);
    m_fixture->window->Run().SetFileCalls(gate);
    QVERIFY(m_fixture->RunToEnd([&] {
        // Whatever fails here, the run must not stay held.
        const auto release = qScopeGuard([&] { gate.Release(); });
        Controls().cmdStartConvert->click();
        QTRY_VERIFY(gate.Reached());
        m_fixture->window->close();
        gate.Release();
    }));

    QCOMPARE(ReadBytes(files[1]), kUtf8Page);
    QCOMPARE(ReadBytes(files[4]), kGbPage);
    QVERIFY(!fs::exists(m_fixture->Folder() / "Veltran.log"));
    QVERIFY(Services().messageBox.calls.empty());
    QCOMPARE(Services().settings.Read("Parameter", "Window"), std::optional<std::string>("0"));
}

// "带BOM" stays enabled during a run: unticked while the second file converts, it applies from the
// third file on.
void TestWindowRun::bomChangedDuringARunAppliesFromTheNextFile()
{
    const std::vector<fs::path> files = Site(3);
    GatedFileCalls gate("f2.htm");
    m_fixture->window->Run().SetJobs(1);
    m_fixture->window->Run().SetFileCalls(gate);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(m_fixture->RunToEnd([&] {
        // Whatever fails here, the run must not stay held.
        const auto release = qScopeGuard([&] { gate.Release(); });
        Controls().cmdStartConvert->click();
        QTRY_VERIFY(gate.Reached());
        QVERIFY(Controls().chkU8BOM->isEnabled());
        QTest::mouseClick(Controls().chkU8BOM, Qt::LeftButton);
        QVERIFY(!Controls().chkU8BOM->isChecked());
    }));

    QCOMPARE(ReadBytes(files[0]), kUtf8Page);
    QCOMPARE(ReadBytes(files[1]), kUtf8Page);
    QCOMPARE(ReadBytes(files[2]), kUtf8Page.substr(3));
}

void TestWindowRun::emptyListLogsHeaderAndCompletion()
{
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(m_fixture->RunToEnd([&] { m_fixture->window->cmdStartConvert_Click(); }));
    QCOMPARE(Text(Services().messageBox.calls.at(0).text), QStringLiteral("文件处理完成。"));
    const std::string log = Masked(ReadBytes(m_fixture->Folder() / "Veltran.log"), m_fixture->Folder());
    QCOMPARE(Text(log),
             QStringLiteral("<Veltran 运行日志>\r\n开始时间：T\r\n执行操作：GB --> UTF-8\r\n\r\n\r\n完成时间：T"));
}

void TestWindowRun::logThatCannotBeWrittenIsReported()
{
    WindowFolders folders = m_fixture->Folders();
    folders.logPath = m_fixture->Folder() / "missing" / "Veltran.log";
    m_fixture->window = std::make_unique<frmMain>(Services().Services(), *m_fixture->rules, folders);
    const std::vector<fs::path> files = Site(2);
    WriteFile(files[0], "<p>\x81\x20</p>");
    Services().messageBox.answers.Queue(MessageResult::Ok);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());

    QCOMPARE(Captions(), (QStringList{"错误", "完成"}));
    const QString error = Text(Services().messageBox.calls.at(0).text);
    QVERIFY2(error.startsWith("运行日志无法写入：" + Text(folders.logPath.string())), qPrintable(error));
    QVERIFY2(error.contains("文件或文件夹不存在"), qPrintable(error));
    // The closing message points at no file, and the log's text is shown instead.
    QCOMPARE(Text(Services().messageBox.calls.at(1).text),
             QStringLiteral("处理完成，有 1 个文件处理失败。运行日志无法写入，其内容在窗口中显示。"));
    QVERIFY(Services().viewer.shown.empty());
    const std::vector<std::pair<std::string, std::string>>& texts = Services().viewer.texts;
    QCOMPARE(texts.size(), std::size_t{1});
    QCOMPARE(Text(texts[0].first), QStringLiteral("运行日志"));
    QVERIFY(texts[0].second.find("处理失败：" + files[0].string() + "\r\n") != std::string::npos);
    QCOMPARE(ReadBytes(files[1]), kUtf8Page);
    ExpectIdle();
}

// "检查" runs dry over the selected entries or over all: it foretells per file what the run would do,
// change and lose, changes nothing on disk, writes no log and keeps the selection.
void TestWindowRun::checkForetellsTheRunAndChangesNothing()
{
    const std::vector<fs::path> files = Site(3);
    WriteFile(files[0], "<p>\xD6\xD0\xB9\xFA\xA2\xA1</p>"); // 中国ⅰ: BIG5 writes 國 and lacks ⅰ
    WriteFile(files[1], "<p>\x81\x20</p>");
    Controls().optBig5->click();
    FileListModel& list = m_fixture->window->Files();
    list.SetSelected(0, true);
    list.SetSelected(1, true);

    QMenu& menu = m_fixture->window->ListContextMenu();
    menu.popup(QPoint(0, 0));
    QVERIFY(menu.actions().at(0)->isEnabled());
    menu.hide();
    const auto tree = Tree(m_fixture->Folder());
    QVERIFY(m_fixture->RunToEnd([&] { menu.actions().at(0)->trigger(); }));
    QVERIFY(m_fixture->RunToEnd([&] { menu.actions().at(1)->trigger(); }));

    QCOMPARE(Tree(m_fixture->Folder()), tree);
    QVERIFY(!fs::exists(m_fixture->Folder() / "Veltran.log"));
    QVERIFY(list.IsSelected(0) && list.IsSelected(1) && !list.IsSelected(2));
    ExpectIdle();
    const std::vector<std::pair<std::string, std::string>>& texts = Services().viewer.texts;
    QCOMPARE(texts.size(), std::size_t(2));
    QCOMPARE(Text(texts[0].first), QStringLiteral("检查结果"));
    const QString heading = QStringLiteral("检查：GB --> BIG5（不改动任何文件）\n");
    const QString first = QStringLiteral("可以处理：<folder>/site/f1.htm\n"
                                         "    汉字将改写 1 个：国→國\n"
                                         "    目标编码没有的字符 1 个，将写成 \"?\"：U+2170 ⅰ\n"
                                         "不能处理：<folder>/site/f2.htm：第 3 字节起不是有效的 GB 编码\n");
    QCOMPARE(Text(Masked(texts[0].second, m_fixture->Folder())),
             heading + "共检查 2 个文件：1 个可以处理，1 个不能处理，1 个含目标编码没有的字符。\n\n" + first);
    QCOMPARE(Text(Masked(texts[1].second, m_fixture->Folder())),
             heading + "共检查 3 个文件：2 个可以处理，1 个不能处理，1 个含目标编码没有的字符。\n\n" + first +
                 "可以处理：<folder>/site/f3.htm\n");

    list.DeselectAll();
    menu.popup(QPoint(0, 0));
    QVERIFY(!menu.actions().at(0)->isEnabled());
    QVERIFY(menu.actions().at(1)->isEnabled());
    menu.hide();
}

// A page moved away (or lost to a run killed between its two renames) while its backup stayed is put
// back and converted; the closing message says so even when all else went well.
void TestWindowRun::pageFoundOnlyAsItsBackupIsPutBackAndTold()
{
    const std::vector<fs::path> files = Site(2);
    fs::rename(files[1], fs::path(files[1]) += ".bak");
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(StartAndWait());

    const MessageRequest& closing = Services().messageBox.calls.at(0);
    QCOMPARE(Text(closing.text),
             QStringLiteral("文件处理完成。\r\n有 1 个文件原已不在、只剩备份（.bak），已从备份放回原处。"));
    QVERIFY(closing.icon == MessageIcon::Warning);
    QCOMPARE(ReadBytes(files[1]), kUtf8Page);
    QCOMPARE(ReadBytes(fs::path(files[1]) += ".bak"), kGbPage);
}

int RunWindowRunTests(int argc, char** argv)
{
    TestWindowRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestWindowRun.moc"
