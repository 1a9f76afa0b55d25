#include "ControlLayoutTable.h"
#include "LogPath.h"
#include "ResizeRule.h"
#include "TestRunners.h"

#include <QTest>

using namespace veltran;

Q_DECLARE_METATYPE(veltran::WindowState)

namespace {

constexpr TwipSize kDesignInner{7875, 5895};
constexpr TwipRect kStartButton{6396, 412, 1400, 360};

} // namespace

class TestLayoutRules : public QObject
{
    Q_OBJECT

private slots:
    void layoutKeepsDesignProportions();
    void resizeRule_data();
    void resizeRule();
    void logPathGetsOneSeparator_data();
    void logPathGetsOneSeparator();
};

void TestLayoutRules::layoutKeepsDesignProportions()
{
    ControlLayoutTable table;
    table.Register("cmdStartConvert", kStartButton, kDesignInner);

    const std::optional<TwipRect> wider = table.Apply("cmdStartConvert", {8875, 5895});
    QVERIFY(wider);
    QVERIFY(qAbs(wider->left - 7208.2) < 1);
    QVERIFY(qAbs(wider->width - 1577.8) < 1);
    QVERIFY(qAbs(wider->top - 412) < 0.1);

    const std::optional<TwipRect> taller = table.Apply("cmdStartConvert", {7875, 11790});
    QVERIFY(qAbs(taller->left - 6396) < 0.1);
    QVERIFY(qAbs(taller->top - 824) < 0.1);
    QVERIFY(qAbs(taller->height - 720) < 0.1);

    QVERIFY(!table.Apply("cmdstartconvert", {8875, 5895}));
}

void TestLayoutRules::resizeRule_data()
{
    QTest::addColumn<WindowState>("state");
    QTest::addColumn<QRectF>("outer");
    QTest::addColumn<QSizeF>("screen");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QRectF>("expected");
    QTest::addColumn<bool>("laysOut");

    const QSizeF screen(19200, 14400);
    QTest::newRow("minimised does nothing")
        << WindowState::Minimised << QRectF(10, 10, 100, 100) << screen << false << QRectF() << false;
    QTest::newRow("maximised lays out without size check or centring")
        << WindowState::Maximised << QRectF(0, 0, 100, 100) << screen << false << QRectF() << true;
    QTest::newRow("at the minimum is centred") << WindowState::Normal << QRectF(100, 200, 8000, 6400) << screen << true
                                               << QRectF(5600, 4000, 8000, 6400) << true;
    QTest::newRow("enlarged keeps its size and is centred")
        << WindowState::Normal << QRectF(0, 0, 9000, 7001) << screen << true << QRectF(5100, 3699, 9000, 7001) << true;
    QTest::newRow("too narrow at any height snaps to the minimum")
        << WindowState::Normal << QRectF(300, 300, 7999, 9000) << screen << true << QRectF(5600, 4000, 8000, 6400)
        << true;
    QTest::newRow("too low at any width snaps to the minimum")
        << WindowState::Normal << QRectF(300, 300, 12000, 6399) << screen << true << QRectF(5600, 4000, 8000, 6400)
        << true;
    QTest::newRow("wider than the screen gets a negative left")
        << WindowState::Normal << QRectF(0, 0, 8000, 6400) << QSizeF(7500, 6000) << true
        << QRectF(-250, -200, 8000, 6400) << true;
    QTest::newRow("odd remainders are dropped toward zero")
        << WindowState::Normal << QRectF(0, 0, 8000, 6400) << QSizeF(7501, 14401) << true
        << QRectF(-249, 4000, 8000, 6400) << true;
}

void TestLayoutRules::resizeRule()
{
    QFETCH(WindowState, state);
    QFETCH(QRectF, outer);
    QFETCH(QSizeF, screen);
    QFETCH(bool, moves);
    QFETCH(QRectF, expected);
    QFETCH(bool, laysOut);

    const ResizeOutcome outcome =
        DecideResize(state, {outer.x(), outer.y(), outer.width(), outer.height()}, {screen.width(), screen.height()});
    QCOMPARE(outcome.layOut, laysOut);
    QCOMPARE(outcome.outer.has_value(), moves);
    if (moves)
        QCOMPARE(QRectF(outcome.outer->left, outcome.outer->top, outcome.outer->width, outcome.outer->height),
                 expected);
}

void TestLayoutRules::logPathGetsOneSeparator_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ordinary folder") << "/opt/tools" << true << "/opt/tools/Veltran.log";
    QTest::newRow("root") << "/" << true << "/Veltran.log";
    QTest::newRow("network folder keeps two leading separators") << "//srv/a" << true << "//srv/a/Veltran.log";
    QTest::newRow("read-only folder logs to the user's folder") << "/usr/bin" << false << "/home/u/data/Veltran.log";
}

void TestLayoutRules::logPathGetsOneSeparator()
{
    QFETCH(QString, folder);
    QFETCH(bool, writable);
    QFETCH(QString, expected);
    QCOMPARE(ChooseLogPath(folder, writable, QStringLiteral("/home/u/data")), expected);
}

int RunLayoutRuleTests(int argc, char** argv)
{
    TestLayoutRules test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestLayoutRules.moc"
