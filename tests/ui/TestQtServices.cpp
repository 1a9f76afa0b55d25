#include "QtFileDialogs.h"
#include "QtSettingsStore.h"
#include "QtTextViewer.h"
#include "QtTranslations.h"
#include "SettingsStore.h"
#include "TestRunners.h"
#include "TextViewerWindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace veltran;

class TestQtServices : public QObject
{
    Q_OBJECT

private slots:
    void settingsSurviveAReopenAsText();
    void unwritableSettingsAreReportedNotFatal();
    void nameFilters_data();
    void nameFilters();
    void viewerShowsFilesAndTexts();
    void viewerFitsTheScreenAndTakesKeys();
    void qtTranslationFollowsTheLocaleOrIsChinese_data();
    void qtTranslationFollowsTheLocaleOrIsChinese();
};

void TestQtServices::settingsSurviveAReopenAsText()
{
    QTemporaryDir folder;
    const QString file = folder.filePath("Veltran.ini");
    QVERIFY(QtSettingsStore(file).Write("Parameter", "Window", "2"));

    const QtSettingsStore reopened(file);
    QCOMPARE(reopened.Read("Parameter", "Window"), std::optional<std::string>("2"));
    QCOMPARE(reopened.Read("Parameter", "FirstRunMe"), std::nullopt);
    QCOMPARE(ReadNumber(reopened, "Parameter", "Window", 0), 2);

    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray text = raw.readAll();
    QVERIFY2(text.contains("[Parameter]") && text.contains("Window=2"), text.constData());
}

void TestQtServices::unwritableSettingsAreReportedNotFatal()
{
    // A store whose folder is really a file cannot be written, not even by the superuser.
    QTemporaryDir folder;
    QFile blocker(folder.filePath("Veltran"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore store(folder.filePath("Veltran/Veltran.ini"));
    QVERIFY(!store.Write("Parameter", "FirstRunMe", "1"));
    QCOMPARE(store.Read("Parameter", "FirstRunMe"), std::nullopt);
}

void TestQtServices::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("the add-files filter")
        << "网页文件(*.htm; *.html)|*.htm;*.html|文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"
        << QStringList{"网页文件(*.htm; *.html) (*.htm *.html)", "文本文件(*.txt) (*.txt)", "所有文件(*.*) (*)"};
    QTest::newRow("blank filter offers all files") << "   " << QStringList{"所有文件(*.*) (*)"};
    QTest::newRow("description without patterns is dropped") << "a|*.a|b" << QStringList{"a (*.a)"};
}

void TestQtServices::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtNameFilters(filter.toStdString()), expected);
}

// A file read as its encoding, with the undecodable bytes counted in the status line; a text the
// program made under its own title; a file that cannot be read is refused without a window.
void TestQtServices::viewerShowsFilesAndTexts()
{
    QTemporaryDir folder;
    QFile page(folder.filePath("page.htm"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("\xD6\xD0\x81");
    page.close();
    QtTextViewer viewer;
    QVERIFY(viewer.ShowFile(page.fileName().toStdString(), EncodingId::Gb));
    viewer.ShowText("检查结果", "可以处理：a.htm\n");
    QVERIFY(!viewer.ShowFile(folder.filePath("missing.htm").toStdString(), EncodingId::Gb));

    QMap<QString, QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "TextViewer")
            windows[window->windowTitle()] = window;
    }
    QCOMPARE(windows.keys(), (QStringList{page.fileName() + " - GB", "检查结果"}));
    QWidget* file = windows[page.fileName() + " - GB"];
    QCOMPARE(file->findChild<QPlainTextEdit*>()->toPlainText(), QStringLiteral("中\uFFFD"));
    QVERIFY(file->findChild<QLabel*>()->text().endsWith("1 处"));
    QCOMPARE(windows["检查结果"]->findChild<QPlainTextEdit*>()->toPlainText(), QStringLiteral("可以处理：a.htm\n"));
    QVERIFY(windows["检查结果"]->findChild<QLabel*>()->isHidden());
    qDeleteAll(windows);
}

// Centred in the screen's free area, and smaller than it likes on a small screen; Ctrl+End goes to the
// end of the text and Escape closes the window.
void TestQtServices::viewerFitsTheScreenAndTakesKeys()
{
    QCOMPARE(TextViewerWindow::PlaceWithin(QRect(0, 28, 1366, 740)), QRect(303, 118, 760, 560));
    QCOMPARE(TextViewerWindow::PlaceWithin(QRect(0, 0, 1920, 1080)), QRect(580, 260, 760, 560));
    QCOMPARE(TextViewerWindow::PlaceWithin(QRect(0, 0, 800, 600)), QRect(40, 30, 720, 540));

    QtTextViewer viewer;
    viewer.ShowText("运行日志", std::string(500, '\n'));
    QWidget* window = nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->objectName() == "TextViewer" && candidate->isVisible())
            window = candidate;
    }
    QVERIFY(window != nullptr);
    QVERIFY(window->screen()->availableGeometry().contains(window->geometry()));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* text = window->findChild<QPlainTextEdit*>();
    text->setFocus();
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(text->verticalScrollBar()->maximum() > 0);
    QCOMPARE(text->verticalScrollBar()->value(), text->verticalScrollBar()->maximum());
    const QPointer<QWidget> closing(window);
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_VERIFY(closing.isNull());
}

void TestQtServices::qtTranslationFollowsTheLocaleOrIsChinese_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("lookIn");

    QTest::newRow("Simplified Chinese") << "zh_CN"
                                        << "zh_CN"
                                        << "取消"
                                        << "查找范围：";
    QTest::newRow("Traditional Chinese") << "zh_TW"
                                         << "zh_TW"
                                         << "取消"
                                         << "尋找於：";
    QTest::newRow("English: Chinese instead") << "en_US"
                                              << "zh_CN"
                                              << "取消"
                                              << "查找范围：";
    QTest::newRow("C locale: Chinese instead") << "C"
                                               << "zh_CN"
                                               << "取消"
                                               << "查找范围：";
    QTest::newRow("none for Swahili: Chinese instead") << "sw_KE"
                                                       << "zh_CN"
                                                       << "取消"
                                                       << "查找范围：";
    QTest::newRow("German") << "de_DE"
                            << "de"
                            << "Abbrechen"
                            << "Suchen in:";
}

// Qt's dialogs and standard buttons read in the user's language, and in Chinese where Qt has none.
void TestQtServices::qtTranslationFollowsTheLocaleOrIsChinese()
{
    QFETCH(QString, locale);
    QFETCH(QString, loaded);
    QFETCH(QString, cancel);
    QFETCH(QString, lookIn);
    QTranslator* translator = InstallQtTranslations(*qApp, QLocale(locale));
    QVERIFY2(translator != nullptr, "Qt's translations are missing (Debian's qt6-translations-l10n)");
    const QString language = translator->language();
    const QString translatedCancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    const QString translatedLookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QCOMPARE(language, loaded);
    QCOMPARE(translatedCancel, cancel);
    QCOMPARE(translatedLookIn, lookIn);
}

int RunQtServiceTests(int argc, char** argv)
{
    TestQtServices test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestQtServices.moc"
