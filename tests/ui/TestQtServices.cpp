#include "QtFileDialogs.h"
#include "QtSettingsStore.h"
#include "SettingsStore.h"
#include "TestRunners.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace veltran;

class TestQtServices : public QObject
{
    Q_OBJECT

private slots:
    void settingsSurviveAReopenAsText();
    void unwritableSettingsAreReportedNotFatal();
    void nameFilters_data();
    void nameFilters();
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

int RunQtServiceTests(int argc, char** argv)
{
    TestQtServices test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestQtServices.moc"
