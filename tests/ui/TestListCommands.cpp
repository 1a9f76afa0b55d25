#include "DeepTree.h"
#include "FileListView.h"
#include "FolderScan.h"
#include "RunningState.h"
#include "TempDir.h"
#include "TestRunners.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolTip>

using namespace veltran;
using namespace veltran::test;

namespace {

namespace fs = std::filesystem;

QStringList Entries(const FileListModel& files)
{
    QStringList entries;
    for (const fs::path& path : files.Paths())
        entries << QString::fromStdString(path.string());
    return entries;
}

bool ListButtonsEnabled(const MainWindowControls& c)
{
    const auto buttons = c.ListDependent();
    const bool first = buttons.front()->isEnabled();
    for (const QWidget* button : buttons) {
        if (button->isEnabled() != first)
            qFatal("the list-dependent buttons disagree");
    }
    return first;
}

} // namespace

class TestListCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addFilesAppendsInOrderFromWhereTheLastCameFrom();
    void removeCommands_data();
    void removeCommands();
    void enterAndDoubleClickOpenTheCurrentEntryOnly_data();
    void enterAndDoubleClickOpenTheCurrentEntryOnly();
    void addFolderRemembersFolderAndFilter();
    void addFolderListsBreadthFirstAndAddsNothingWhenNothingMatches();
    void droppedFilesAndFoldersAreAdded();
    void folderThatVanishedIsReported();
    void whatTheScanCannotReadIsListedAndStraysAreNamed();
    void stopEndsAScanKeepingWhatWasFound();
    void panelAndTooltipShowWholeTexts();

private:
    const MainWindowControls& Controls() const { return m_fixture->window->Controls(); }
    FileListModel& Files() { return m_fixture->window->Files(); }
    ScriptedServices& Services() { return *m_fixture->services; }
    fs::path Write(const std::string& relative, const std::string& bytes = "ab")
    {
        const fs::path path = m_fixture->Folder() / relative;
        fs::create_directories(path.parent_path());
        WriteFile(path, bytes);
        return path;
    }

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestListCommands::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_fixture->window.get()));
}

void TestListCommands::cleanup()
{
    m_fixture->window.reset();
    QVERIFY2(m_fixture->watchdog->Intrusions().isEmpty(), qPrintable(m_fixture->watchdog->Intrusions().join(", ")));
    QCOMPARE(Services().Unexpected(), 0);
    m_fixture.reset();
}

void TestListCommands::addFilesAppendsInOrderFromWhereTheLastCameFrom()
{
    const fs::path home = m_fixture->Folder();
    Services().dialogs.files.Queue({"/web/a.htm", "/web/b.htm"});
    Services().dialogs.files.Queue({"/web/a.htm"});
    Services().dialogs.files.Queue({});
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(Controls().cmdAddFile, Qt::LeftButton);

    QCOMPARE(Entries(Files()), (QStringList{"/web/a.htm", "/web/b.htm", "/web/a.htm"}));
    QVERIFY(ListButtonsEnabled(Controls()));
    const std::vector<FileDialogCall>& calls = Services().dialogs.fileCalls;
    QCOMPARE(calls.size(), std::size_t{3});
    QCOMPARE(calls[0].title, std::string("添加文件..."));
    QCOMPARE(calls[0].filter, std::string("网页文件(*.htm; *.html; *.xml; *.shtml)|*.htm;*.html;*.xml;*.shtml|"
                                          "源码文件(*.asp; *.php; *.aspx; *.js)|*.asp;*.php;*.aspx;*.js|"
                                          "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"));
    QCOMPARE(calls[0].startFolder, home);
    QCOMPARE(calls[1].startFolder, fs::path("/web"));
}

void TestListCommands::removeCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<bool>("focusOnList");

    const QList<int> oneThreeFour{1, 3, 4};
    QTest::newRow("selected 1, 3 and 4 of six")
        << "cmdRemoveFile" << oneThreeFour << QStringList{"0", "2", "5"} << true;
    QTest::newRow("unselected") << "cmdRemoveUnsel" << oneThreeFour << QStringList{"1", "3", "4"} << true;
    QTest::newRow("selected with none selected changes nothing")
        << "cmdRemoveFile" << QList<int>{} << QStringList{"0", "1", "2", "3", "4", "5"} << false;
    QTest::newRow("unselected with none selected empties the list")
        << "cmdRemoveUnsel" << QList<int>{} << QStringList{} << true;
    QTest::newRow("every entry selected") << "cmdRemoveFile" << QList<int>{0, 1, 2, 3, 4, 5} << QStringList{} << true;
    QTest::newRow("all") << "cmdRemoveAll" << oneThreeFour << QStringList{} << false;
}

void TestListCommands::removeCommands()
{
    QFETCH(QString, command);
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, left);
    QFETCH(bool, focusOnList);

    std::vector<fs::path> six;
    for (int i = 0; i < 6; ++i)
        six.emplace_back(std::to_string(i));
    Services().dialogs.files.Queue(six);
    QTest::mouseClick(Controls().cmdAddFile, Qt::LeftButton);
    for (const int index : selected)
        Files().SetSelected(static_cast<std::size_t>(index), true);
    Controls().chkBackup->setFocus();

    m_fixture->window->findChild<QPushButton*>(command)->click();

    QCOMPARE(Entries(Files()), left);
    QCOMPARE(ListButtonsEnabled(Controls()), !left.isEmpty());
    QCOMPARE(Controls().lstFiles->hasFocus(), focusOnList);
    // The screen shows what the model holds.
    QCOMPARE(Controls().lstFiles->model()->rowCount(), left.size());
    QCOMPARE(Controls().lstFiles->selectionModel()->selectedRows().size(), qsizetype(Files().SelectedCount()));
}

void TestListCommands::enterAndDoubleClickOpenTheCurrentEntryOnly_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("current"); // -1: none
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("opens");

    for (const char* gesture : {"enter", "double-click"}) {
        QTest::addRow("%s on the current entry, another selected", gesture) << gesture << 1 << true << true;
        QTest::addRow("%s without a current entry", gesture) << gesture << -1 << true << false;
        QTest::addRow("%s on an entry whose file is gone", gesture) << gesture << 1 << false << false;
    }
}

void TestListCommands::enterAndDoubleClickOpenTheCurrentEntryOnly()
{
    QFETCH(QString, gesture);
    QFETCH(int, current);
    QFETCH(bool, fileExists);
    QFETCH(bool, opens);

    const fs::path first = Write("first.htm");
    const fs::path second = fileExists ? Write("second.htm") : m_fixture->Folder() / "gone.htm";
    Files().Append({first, second});
    Controls().optFrmBig5->click();
    Files().SetSelected(0, true);
    Files().SetCurrentIndex(current < 0 ? std::nullopt : std::optional<std::size_t>(current));

    if (gesture == "enter") {
        Controls().lstFiles->setFocus();
        QTest::keyClick(Controls().lstFiles, Qt::Key_Return);
    } else {
        QTest::mouseDClick(Controls().lstFiles->viewport(), Qt::LeftButton, {}, QPoint(2, 200));
    }

    const std::vector<fs::path> expected = opens ? std::vector<fs::path>{second} : std::vector<fs::path>{};
    QCOMPARE(Services().viewer.shown, expected);
    if (opens)
        QVERIFY(Services().viewer.encodings.front() == EncodingId::Big5);
}

void TestListCommands::addFolderRemembersFolderAndFilter()
{
    const fs::path site = Write("site/a.txt").parent_path();
    Write("site/b.htm");
    Write("site/c.xml");
    Write("site/d.html");

    // Browser cancelled: nothing asked further. Filter box cancelled: the folder is remembered.
    Services().dialogs.folders.Queue({});
    Services().dialogs.folders.Queue(site / "");
    Services().dialogs.answers.Queue("");
    Services().dialogs.folders.Queue(site / "");
    Services().dialogs.answers.Queue("*.txt;*.htm,*.xml");
    Services().dialogs.folders.Queue(site / "");
    Services().dialogs.answers.Queue("");
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(Controls().cmdAddDir, Qt::LeftButton);

    const auto& folders = Services().dialogs.folderCalls;
    QCOMPARE(folders.size(), std::size_t{4});
    QCOMPARE(folders[0].title, std::string("选择目录..."));
    QCOMPARE(folders[0].startFolder, fs::path());
    QCOMPARE(folders[2].startFolder, site / "");
    const auto& asked = Services().dialogs.askCalls;
    QCOMPARE(asked.size(), std::size_t{3});
    QCOMPARE(asked[0], (std::vector<std::string>{"文件类型：\r\n(不同类型以 “|”、“;”或“,”分隔)", "过滤条件",
                                                 "*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt"}));
    QCOMPARE(asked[1][2], std::string("*.htm|*.html|*.js|*.asp|*.php|*.xml|*.aspx|*.txt"));
    QCOMPARE(asked[2][2], std::string("*.txt|*.htm|*.xml"));
    QStringList names;
    for (const fs::path& path : Files().Paths())
        names << QString::fromStdString(path.filename().string());
    names.sort();
    QCOMPARE(names, (QStringList{"a.txt", "b.htm", "c.xml"}));
    QVERIFY(ListButtonsEnabled(Controls()));
    QVERIFY(!Controls().cmdConvertInfo->isVisible());
}

void TestListCommands::addFolderListsBreadthFirstAndAddsNothingWhenNothingMatches()
{
    Write("tree/top.htm");
    Write("tree/A/a.htm");
    Write("tree/A/B/b.htm");
    Write("tree/C/c.htm");
    const fs::path tree = m_fixture->Folder() / "tree";

    Services().dialogs.folders.Queue(tree);
    Services().dialogs.answers.Queue("*.htm");
    Services().dialogs.folders.Queue(tree);
    Services().dialogs.answers.Queue("*.none");
    QTest::mouseClick(Controls().cmdAddDir, Qt::LeftButton);
    QTest::mouseClick(Controls().cmdAddDir, Qt::LeftButton);

    QStringList names;
    for (const fs::path& path : Files().Paths())
        names << QString::fromStdString(path.lexically_relative(tree).string());
    QCOMPARE(names, (QStringList{"top.htm", "A/a.htm", "C/c.htm", "A/B/b.htm"}));
    QVERIFY(Services().messageBox.calls.empty());
}

void TestListCommands::droppedFilesAndFoldersAreAdded()
{
    const fs::path file = Write("one.txt");
    Write("folder/two.htm");
    Write("folder/skip.bin");
    const fs::path missing = m_fixture->Folder() / "missing.htm";
    Services().messageBox.answers.Queue(MessageResult::Ok);
    m_fixture->window->AddPaths({file, m_fixture->Folder() / "folder", missing});
    QStringList names;
    for (const fs::path& path : Files().Paths())
        names << QString::fromStdString(path.filename().string());
    QCOMPARE(names, (QStringList{"one.txt", "two.htm"}));
    QVERIFY(ListButtonsEnabled(Controls()));
    // The path left out is named.
    QCOMPARE(Services().messageBox.calls.size(), std::size_t{1});
    const MessageRequest& warning = Services().messageBox.calls.front();
    QCOMPARE(QString::fromStdString(warning.text),
             QString::fromStdString("有 1 个路径不存在或不是普通文件，没有加入列表：\r\n" + missing.string()));
    QVERIFY(warning.icon == MessageIcon::Warning);
}

void TestListCommands::folderThatVanishedIsReported()
{
    Services().dialogs.folders.Queue(m_fixture->Folder() / "gone/");
    Services().dialogs.answers.Queue("*.htm");
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QTest::mouseClick(Controls().cmdAddDir, Qt::LeftButton);
    QCOMPARE(Files().Count(), std::size_t{0});
    QCOMPARE(Services().messageBox.calls.size(), std::size_t{1});
    QVERIFY(Services().messageBox.calls.front().text.find("gone") != std::string::npos);
    QVERIFY(!ListButtonsEnabled(Controls()));
}

// A folder too deep to name goes in the list, to fail in the run with its reason, rather than vanish;
// a file a killed run staged is named with the way to remove it, and never listed.
void TestListCommands::whatTheScanCannotReadIsListedAndStraysAreNamed()
{
    const fs::path page = Write("site/a.htm");
    Write("site/.a.htm.veltran-Ab3dE9");
    const DeepTree deep(m_fixture->Folder() / "site", 4450, "deep.htm", "x");
    Services().dialogs.folders.Queue(m_fixture->Folder() / "site");
    Services().dialogs.answers.Queue("*.htm");
    Services().messageBox.answers.Queue(MessageResult::Ok);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QTest::mouseClick(Controls().cmdAddDir, Qt::LeftButton);

    QCOMPARE(Files().Count(), std::size_t{2});
    QCOMPARE(Files().Paths().front(), page);
    QCOMPARE(Services().messageBox.calls.size(), std::size_t{2});
    const std::string& failed = Services().messageBox.calls.front().text;
    QVERIFY2(failed.rfind("有 1 个文件或目录无法读取，已加入列表，处理时将记为失败：", 0) == 0, failed.c_str());
    QVERIFY2(failed.find("：无法打开：文件名太长") != std::string::npos, failed.c_str());
    const std::string& strays = Services().messageBox.calls.back().text;
    QVERIFY2(strays.find("veltran-cli --clean-staged") != std::string::npos, strays.c_str());
    QVERIFY2(strays.find(".a.htm.veltran-Ab3dE9") != std::string::npos, strays.c_str());
}

// The pump yields after every folder, and the stop comes at the first count above zero: the folder
// itself holds no file, so the scan stops after its first sub-folder in name order, whatever the time.
void TestListCommands::stopEndsAScanKeepingWhatWasFound()
{
    for (int i = 0; i < 10; ++i)
        Write("big/" + std::to_string(i) + "/page.htm");
    struct StopAtFirstFind : EventPump
    {
        explicit StopAtFirstFind(const QLabel& label) : info(label) {}
        bool InputMayBeWaiting() override { return true; }
        void ProcessEvents() override
        {
            shown << info.text();
            const QString text = info.text();
            if (text.contains(QStringLiteral("已找到")) && !text.contains(QStringLiteral("已找到 0 ")))
                RequestStop();
        }
        const QLabel& info;
        QStringList shown;
    } pump(*Controls().lblInfo);
    FolderScan scan(Services().Services(), Controls(), Files(), pump);
    scan.ScanAndAppend(m_fixture->Folder() / "big", "*.htm");

    QCOMPARE(Entries(Files()), QStringList{QString::fromStdString((m_fixture->Folder() / "big/0/page.htm").string())});
    QCOMPARE(pump.shown.last(), QStringLiteral("查找文件，请稍侯...已找到 1 个文件，按 Esc 停止"));
    QVERIFY(!Controls().cmdConvertInfo->isVisible());
    QVERIFY(Controls().cmdAddDir->isEnabled());
}

// The count and a long path fit where they are shown: the panel widens for its text, and an entry's
// tooltip holds its whole path.
void TestListCommands::panelAndTooltipShowWholeTexts()
{
    ShowInfo(Controls(), QStringLiteral("查找文件，请稍侯...已找到 123456 个文件，按 Esc 停止"));
    const QRect label = Controls().lblInfo->geometry();
    QVERIFY(QRect(QPoint(), Controls().cmdConvertInfo->size()).contains(label));
    QVERIFY(m_fixture->window->rect().contains(Controls().cmdConvertInfo->geometry()));

    const fs::path deep = m_fixture->Folder() / std::string(40, 'd') / std::string(40, 'e') / "page.htm";
    Files().Append({deep});
    FileListView& list = *Controls().lstFiles;
    const QRect entry = list.visualRect(list.model()->index(0, 0));
    QHelpEvent help(QEvent::ToolTip, entry.center(), list.viewport()->mapToGlobal(entry.center()));
    QApplication::sendEvent(list.viewport(), &help);
    QCOMPARE(QToolTip::text(), QString::fromStdString(deep.string()) + "\n双击或回车查看文件内容");
    QToolTip::hideText();
}

int RunListCommandTests(int argc, char** argv)
{
    TestListCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestListCommands.moc"
