#include "ModalWatchdog.h"
#include "Product.h"
#include "Program.h"
#include "ProgramArguments.h"
#include "ScriptedServices.h"
#include "TestRunners.h"
#include "frmMain.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace veltran;
using namespace veltran::test;

namespace {

const QString kHost = QString::fromUtf16(kMakerHost);

QString ExpectedAboutText()
{
    return QStringList{
        "禾渡 " + kHost + "  GB/BIG5/UTF-8 文件编码批量互转换工具 V1.0",
        "",
        "功    能：将 GB/BIG5/UTF-8 编码的文件相互批量转换，",
        "                主要应用于网站编码方式的整体批量转换。",
        "",
        "软件版本：1.0",
        "",
        "主页：" + kHost,
        "",
        "特别提醒：程序不保证文件绝对安全，使用前请备份！",
        "",
        "免费绿色软件，欢迎使用！",
    }
        .join("\r\n");
}

QString Stored(const ScriptedServices& services, const char* key)
{
    return QString::fromStdString(services.settings.Read("Parameter", key).value_or("<missing>"));
}

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartShowsAboutBoxBeforeTheWindow();
    void storedFirstRunFlag_data();
    void storedFirstRunFlag();
    void unwritableStoreDoesNotStopTheProgram();
    void windowStateIsRememberedWhenMaximised_data();
    void windowStateIsRememberedWhenMaximised();
    void aboutButtonShowsOwnedBox();
    void programArguments_data();
    void programArguments();

private:
    frmMain& Start();

    QTemporaryDir m_folder;
    std::unique_ptr<ModalWatchdog> m_watchdog;
    std::unique_ptr<ScriptedServices> m_services;
    std::unique_ptr<Program> m_program;
};

void TestStartUp::init()
{
    m_watchdog = std::make_unique<ModalWatchdog>();
    m_services = std::make_unique<ScriptedServices>();
}

void TestStartUp::cleanup()
{
    m_program.reset();
    QVERIFY2(m_watchdog->Intrusions().isEmpty(), qPrintable(m_watchdog->Intrusions().join(", ")));
    QCOMPARE(m_services->Unexpected(), 0);
}

frmMain& TestStartUp::Start()
{
    const WindowFolders folders{m_folder.filePath("Veltran.log").toStdString(), m_folder.path().toStdString()};
    m_program = std::make_unique<Program>(m_services->Services(), folders);
    frmMain& window = m_program->Start();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(&window)); }();
    return window;
}

void TestStartUp::firstStartShowsAboutBoxBeforeTheWindow()
{
    m_services->messageBox.answers.Queue(MessageResult::Ok);
    bool windowShown = false;
    m_services->messageBox.onShow = [&windowShown](const MessageRequest&) {
        for (const QWidget* window : QApplication::topLevelWidgets())
            windowShown = windowShown || (window->isVisible() && window->objectName() == "frmMain");
    };
    Start();

    QCOMPARE(m_services->messageBox.calls.size(), std::size_t{1});
    const MessageRequest& call = m_services->messageBox.calls.front();
    QVERIFY(!call.owned);
    QVERIFY(!windowShown);
    QCOMPARE(Text(call.caption), "禾渡 " + kHost + "  GB/BIG5/UTF-8 文件编码批量互转换工具");
    QCOMPARE(Text(call.text), ExpectedAboutText());
    QCOMPARE(Text(call.labels), QStringLiteral("关  闭"));
    QVERIFY(call.buttons == MessageButtons::Ok && call.icon == MessageIcon::Information);
    QCOMPARE(Stored(*m_services, "FirstRunMe"), QStringLiteral("1"));

    // The second start finds the flag and goes straight to the window.
    m_program.reset();
    Start();
    QCOMPARE(m_services->messageBox.calls.size(), std::size_t{1});
}

void TestStartUp::storedFirstRunFlag_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("showsBox");

    QTest::newRow("1 shows no box") << "1" << false;
    QTest::newRow("any other number shows no box") << "5" << false;
    QTest::newRow("0 shows the box again") << "0" << true;
    QTest::newRow("not a number counts as 0") << "yes" << true;
}

void TestStartUp::storedFirstRunFlag()
{
    QFETCH(QString, stored);
    QFETCH(bool, showsBox);

    m_services->settings.Write("Parameter", "FirstRunMe", stored.toStdString());
    if (showsBox)
        m_services->messageBox.answers.Queue(MessageResult::Ok);
    Start();
    QCOMPARE(m_services->messageBox.calls.size(), std::size_t{showsBox ? 1u : 0u});
    QCOMPARE(Stored(*m_services, "FirstRunMe"), showsBox ? QStringLiteral("1") : stored);
}

void TestStartUp::unwritableStoreDoesNotStopTheProgram()
{
    m_services->settings.writable = false;
    m_services->messageBox.answers.Queue(MessageResult::Ok);
    frmMain& window = Start();
    QVERIFY(window.isVisible());
    QVERIFY(window.close());
    QCOMPARE(Stored(*m_services, "FirstRunMe"), QStringLiteral("<missing>"));
}

void TestStartUp::windowStateIsRememberedWhenMaximised_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("opensMaximised");
    QTest::addColumn<Qt::WindowState>("closedIn");
    QTest::addColumn<QString>("saved");

    QTest::newRow("2 opens maximised, closed maximised saves 2") << "2" << true << Qt::WindowMaximized << "2";
    QTest::newRow("missing opens normal, closed minimised saves 1")
        << "<missing>" << false << Qt::WindowMinimized << "1";
    QTest::newRow("1 reopens normal, closed normal saves 0") << "1" << false << Qt::WindowNoState << "0";
}

void TestStartUp::windowStateIsRememberedWhenMaximised()
{
    QFETCH(QString, stored);
    QFETCH(bool, opensMaximised);
    QFETCH(Qt::WindowState, closedIn);
    QFETCH(QString, saved);

    m_services->settings.Write("Parameter", "FirstRunMe", "1");
    if (stored != QStringLiteral("<missing>"))
        m_services->settings.Write("Parameter", "Window", stored.toStdString());
    frmMain& window = Start();
    QCOMPARE(window.isMaximized(), opensMaximised);

    window.setWindowState(closedIn);
    QTest::mouseClick(window.Controls().cmdExit, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(Stored(*m_services, "Window"), saved);
}

void TestStartUp::aboutButtonShowsOwnedBox()
{
    m_services->settings.Write("Parameter", "FirstRunMe", "1");
    frmMain& window = Start();
    m_services->messageBox.answers.Queue(MessageResult::Ok);
    QTest::mouseClick(window.Controls().cmdAbout, Qt::LeftButton);

    QCOMPARE(m_services->messageBox.calls.size(), std::size_t{1});
    const MessageRequest& call = m_services->messageBox.calls.front();
    QVERIFY(call.owned);
    QCOMPARE(Text(call.caption), QStringLiteral("关于..."));
    QCOMPARE(Text(call.text), ExpectedAboutText());
    QCOMPARE(Text(call.labels), QStringLiteral("关  闭"));
}

void TestStartUp::programArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("error");

    QTest::newRow("files and folders") << QStringList{"a.htm", "site/"} << QStringList{"a.htm", "site/"} << false << "";
    QTest::newRow("help among paths") << QStringList{"a.htm", "--help"} << QStringList{"a.htm"} << true << "";
    QTest::newRow("after -- everything is a path")
        << QStringList{"--", "--help", "-"} << QStringList{"--help", "-"} << false << "";
    QTest::newRow("an unknown option") << QStringList{"--fast"} << QStringList{} << false
                                       << "unknown option \"--fast\"";
}

void TestStartUp::programArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, paths);
    QFETCH(bool, help);
    QFETCH(QString, error);

    const ProgramArguments parsed = ParseProgramArguments(arguments);
    QStringList parsedPaths;
    for (const std::filesystem::path& path : parsed.paths)
        parsedPaths << QString::fromStdString(path.string());
    QCOMPARE(parsedPaths, paths);
    QCOMPARE(parsed.help, help);
    QCOMPARE(parsed.error, error);
}

int RunStartUpTests(int argc, char** argv)
{
    TestStartUp test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestStartUp.moc"
