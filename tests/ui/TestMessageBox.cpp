#include "MessageBoxButtons.h"
#include "QtMessageBox.h"
#include "TestRunners.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace veltran;

namespace {

// Marks a button that keeps the desktop's own caption.
const QString kSystem = QStringLiteral("<system>");

QStringList Captions(const std::vector<PlannedButton>& buttons)
{
    QStringList captions;
    for (const PlannedButton& button : buttons)
        captions << button.caption.value_or(kSystem);
    return captions;
}

QList<int> Ids(const std::vector<PlannedButton>& buttons)
{
    QList<int> ids;
    for (const PlannedButton& button : buttons)
        ids << button.id;
    return ids;
}

QList<QAbstractButton*> ButtonsLeftToRight(const QMessageBox& box)
{
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [](const QAbstractButton* a, const QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    return buttons;
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void buttonsTakeTheirLabels_data();
    void buttonsTakeTheirLabels();
    void boxShowsButtonsInSetOrder_data();
    void boxShowsButtonsInSetOrder();
    void escapeAndCloseBoxGiveEscapeButton_data();
    void escapeAndCloseBoxGiveEscapeButton();
    void blankCaptionShowsProgramName();

private:
    // Opens the real box, lets `act` work on it once it is up, and returns the box's result.
    int RunBox(unsigned style, const QString& labels, const std::function<void(QMessageBox&)>& act);
};

void TestMessageBox::buttonsTakeTheirLabels_data()
{
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QStringList>("captions");

    const QList<int> okCancel{kIdOk, kIdCancel};
    const QList<int> yesNoCancel{kIdYes, kIdNo, kIdCancel};
    const QList<int> abortRetryIgnore{kIdAbort, kIdRetry, kIdIgnore};
    QTest::newRow("start confirmation, full-width comma does not split")
        << (kMbOkCancel | kMbIconQuestion | kMbDefButton2) << "OK，知道了,我再看看" << okCancel
        << QStringList{"OK，知道了", "我再看看"};
    QTest::newRow("about box keeps both spaces")
        << (kMbOk | kMbIconInformation) << "关  闭" << QList<int>{kIdOk} << QStringList{"关  闭"};
    QTest::newRow("ok cancel, third label replaces the second on cancel")
        << kMbOkCancel << "a,b,c" << okCancel << QStringList{"a", "c"};
    QTest::newRow("ok cancel, blank third label is skipped")
        << kMbOkCancel << "a,b,  " << okCancel << QStringList{"a", "b"};
    QTest::newRow("yes no") << kMbYesNo << "y,n" << QList<int>{kIdYes, kIdNo} << QStringList{"y", "n"};
    QTest::newRow("yes no cancel") << kMbYesNoCancel << "y,n,c" << yesNoCancel << QStringList{"y", "n", "c"};
    QTest::newRow("yes no cancel, cancel shows second label without a third")
        << kMbYesNoCancel << "y,n" << yesNoCancel << QStringList{"y", "n", "n"};
    QTest::newRow("yes no cancel, empty piece kept in place")
        << kMbYesNoCancel << "y,,c" << yesNoCancel << QStringList{"y", kSystem, "c"};
    QTest::newRow("labels after the third are ignored")
        << kMbYesNoCancel << "a,b,c,d" << yesNoCancel << QStringList{"a", "b", "c"};
    QTest::newRow("abort retry ignore") << kMbAbortRetryIgnore << "a,r,i" << abortRetryIgnore
                                        << QStringList{"a", "r", "i"};
    QTest::newRow("abort retry ignore, retry shows first label when second is blank")
        << kMbAbortRetryIgnore << "a, ,i" << abortRetryIgnore << QStringList{"a", "a", "i"};
    QTest::newRow("empty labels keep the system captions")
        << kMbOkCancel << "" << okCancel << QStringList{kSystem, kSystem};
    QTest::newRow("labels of spaces only keep the system captions")
        << kMbOkCancel << "   " << okCancel << QStringList{kSystem, kSystem};
    QTest::newRow("blank first label keeps the system ok")
        << kMbOkCancel << " ,b" << okCancel << QStringList{kSystem, "b"};
    QTest::newRow("surrounding spaces are shown") << kMbOk << " go " << QList<int>{kIdOk} << QStringList{" go "};
}

void TestMessageBox::buttonsTakeTheirLabels()
{
    QFETCH(unsigned, style);
    QFETCH(QString, labels);
    QFETCH(QList<int>, ids);
    QFETCH(QStringList, captions);

    const std::vector<PlannedButton> plan = PlanButtons(style, labels);
    QCOMPARE(Ids(plan), ids);
    QCOMPARE(Captions(plan), captions);
}

int TestMessageBox::RunBox(unsigned style, const QString& labels, const std::function<void(QMessageBox&)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        act(*box);
        acted = true;
    });
    const int result =
        QtMessageBox().ShowMessageBox(QStringLiteral("text"), labels, QStringLiteral("caption"), style, nullptr);
    return acted ? result : -1;
}

void TestMessageBox::boxShowsButtonsInSetOrder_data()
{
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("defaultIndex");

    QTest::newRow("ok") << kMbOk << "关  闭" << QStringList{"关  闭"} << 0;
    QTest::newRow("ok cancel, second is default")
        << (kMbOkCancel | kMbDefButton2) << "OK，知道了,我再看看" << QStringList{"OK，知道了", "我再看看"} << 1;
    QTest::newRow("yes no") << kMbYesNo << "y,n" << QStringList{"y", "n"} << 0;
    QTest::newRow("yes no cancel, third is default")
        << (kMbYesNoCancel | kMbDefButton3) << "y,n,c" << QStringList{"y", "n", "c"} << 2;
    QTest::newRow("abort retry ignore") << kMbAbortRetryIgnore << "a,r,i" << QStringList{"a", "r", "i"} << 0;
    QTest::newRow("default beyond the buttons falls back to the first")
        << (kMbOk | kMbDefButton3) << "x" << QStringList{"x"} << 0;
}

void TestMessageBox::boxShowsButtonsInSetOrder()
{
    QFETCH(unsigned, style);
    QFETCH(QString, labels);
    QFETCH(QStringList, captions);
    QFETCH(int, defaultIndex);

    QStringList shown;
    int shownDefault = -1;
    const int result = RunBox(style, labels, [&](QMessageBox& box) {
        const QList<QAbstractButton*> buttons = ButtonsLeftToRight(box);
        for (QAbstractButton* button : buttons)
            shown << button->text();
        shownDefault = static_cast<int>(buttons.indexOf(box.defaultButton()));
        buttons.first()->click();
    });
    QCOMPARE(shown, captions);
    QCOMPARE(shownDefault, defaultIndex);
    QCOMPARE(result, PlanButtons(style, labels).front().id);
}

void TestMessageBox::escapeAndCloseBoxGiveEscapeButton_data()
{
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<bool>("useCloseBox");
    QTest::addColumn<int>("expected"); // 0: the box stays open

    for (const bool closeBox : {false, true}) {
        const char* how = closeBox ? "close box" : "escape";
        QTest::addRow("ok cancel, %s", how) << kMbOkCancel << closeBox << kIdCancel;
        QTest::addRow("yes no cancel, %s", how) << kMbYesNoCancel << closeBox << kIdCancel;
        QTest::addRow("lone ok, %s", how) << kMbOk << closeBox << kIdOk;
        QTest::addRow("yes no, %s", how) << kMbYesNo << closeBox << 0;
        QTest::addRow("abort retry ignore, %s", how) << kMbAbortRetryIgnore << closeBox << 0;
    }
}

void TestMessageBox::escapeAndCloseBoxGiveEscapeButton()
{
    QFETCH(unsigned, style);
    QFETCH(bool, useCloseBox);
    QFETCH(int, expected);

    bool stayedOpen = false;
    const int result = RunBox(style, QStringLiteral("a,b,c"), [&](QMessageBox& box) {
        if (useCloseBox)
            box.close();
        else
            QTest::keyClick(&box, Qt::Key_Escape);
        QTest::qWait(50);
        stayedOpen = box.isVisible();
        if (stayedOpen)
            ButtonsLeftToRight(box).last()->click();
    });
    if (expected == 0) {
        QVERIFY(stayedOpen);
    } else {
        QVERIFY(!stayedOpen);
        QCOMPARE(result, expected);
    }
}

void TestMessageBox::blankCaptionShowsProgramName()
{
    const auto box = QtMessageBox::Build(QStringLiteral("text"), QString(), QStringLiteral("   "), kMbOk, nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("test_ui"));
}

int RunMessageBoxTests(int argc, char** argv)
{
    TestMessageBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMessageBox.moc"
