#include "CliProcess.h"
#include "ListMenu.h"
#include "TempDir.h"
#include "TestRunners.h"
#include "WindowFixture.h"

#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace veltran;
using namespace veltran::test;

namespace {

namespace fs = std::filesystem;

// 我們的網站今天開始提供中文版本 in BIG5: what a GB page becomes after GB -> BIG5, refused when given as GB.
const std::string kBig5Page = "\xA7\xDA\xAD\xCC\xAA\xBA\xBA\xF4\xAF\xB8\xA4\xB5\xA4\xD1\xB6}\xA9l\xB4\xA3\xA8\xD1"
                              "\xA4\xA4\xA4\xE5\xAA\xA9\xA5\xBB";

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

// The user has the last word: a file the encoding check refuses converts as the chosen source through
// the list's context menu, after a confirmation; the check says that the command exists.
class TestConvertAsSource : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<WindowFixture>();
        m_fixture->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture->window.get()));
    }

    void cleanup()
    {
        m_fixture->window.reset();
        QVERIFY2(m_fixture->watchdog->Intrusions().isEmpty(), qPrintable(m_fixture->watchdog->Intrusions().join(", ")));
        QCOMPARE(m_fixture->services->Unexpected(), 0);
        m_fixture.reset();
    }

    void convertsTheSelectedEntriesAsTheSourceOnlyWhenConfirmed_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("declined") << false;
    }

    void convertsTheSelectedEntriesAsTheSourceOnlyWhenConfirmed()
    {
        QFETCH(bool, confirmed);
        const fs::path refused = m_fixture->Folder() / "refused.htm";
        const fs::path other = m_fixture->Folder() / "other.htm";
        WriteFile(refused, kBig5Page);
        WriteFile(other, kBig5Page);
        m_fixture->window->AddPaths({refused, other});
        m_fixture->window->Controls().optUtf8->click();
        FileListModel& list = m_fixture->window->Files();
        list.SetSelected(0, true);

        ListMenu& menu = m_fixture->window->ListContextMenu();
        menu.popup(QPoint(0, 0));
        QAction* command = menu.ConvertAsSourceAction();
        QCOMPARE(command->text(), QStringLiteral("按原编码转换所选文件..."));
        QVERIFY(command->isEnabled());
        menu.hide();
        ScriptedMessageBox& box = m_fixture->services->messageBox;
        box.answers.Queue(confirmed ? MessageResult::Ok : MessageResult::Cancel);
        if (confirmed)
            box.answers.Queue(MessageResult::Ok); // the closing message
        QVERIFY(m_fixture->RunToEnd([&] { command->trigger(); }));

        const MessageRequest& question = box.calls.at(0);
        QCOMPARE(Text(question.caption), QStringLiteral("按原编码转换"));
        QVERIFY2(Text(question.text).startsWith(QStringLiteral("将把所选的 1 个文件一律当作 GB 编码转换为 UTF-8，")),
                 qPrintable(Text(question.text)));
        QVERIFY(question.defaultButton == DefaultButton::Second);
        QCOMPARE(ReadBytes(other), kBig5Page);
        if (!confirmed) {
            QCOMPARE(box.calls.size(), std::size_t{1});
            QCOMPARE(ReadBytes(refused), kBig5Page);
            return;
        }
        // Read as GB, as the user said: the BIG5 bytes' GB characters, in UTF-8, and the original kept.
        QCOMPARE(Text(box.calls.at(1).text), QStringLiteral("文件处理完成。"));
        QCOMPARE(ReadBytes(fs::path(refused.string() + ".bak")), kBig5Page);
        QVERIFY(ReadBytes(refused) != kBig5Page);
        QVERIFY(!fs::exists(other.string() + ".bak"));
    }

    void refusalIsLoggedAndTheCheckNamesTheCommand()
    {
        const fs::path page = m_fixture->Folder() / "page.htm";
        WriteFile(page, kBig5Page);
        m_fixture->window->AddPaths({page});
        m_fixture->window->Controls().optUtf8->click();
        ScriptedMessageBox& box = m_fixture->services->messageBox;
        box.answers.Queue(MessageResult::Ok);
        QVERIFY(m_fixture->RunToEnd([&] { m_fixture->window->Controls().cmdStartConvert->click(); }));
        const std::string log = ReadBytes(m_fixture->Folder() / "Veltran.log");
        QVERIFY2(log.find("处理失败：" + page.string() + "\r\n    看起来是 BIG5 编码，不是 GB") != std::string::npos,
                 log.c_str());

        QVERIFY(m_fixture->RunToEnd([&] { m_fixture->window->lstFiles_Check(false); }));
        const std::string report = m_fixture->services->viewer.texts.at(0).second;
        QVERIFY2(report.find("    若确知它是 GB 编码，可选中它，在列表的右键菜单中选“按原编码转换所选文件”。\n") !=
                     std::string::npos,
                 report.c_str());
        QCOMPARE(ReadBytes(page), kBig5Page);
    }

private:
    std::unique_ptr<WindowFixture> m_fixture;
};

int RunConvertAsSourceTests(int argc, char** argv)
{
    TestConvertAsSource test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestConvertAsSource.moc"
