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

Q_DECLARE_METATYPE(veltran::MessageButtons)
Q_DECLARE_METATYPE(veltran::DefaultButton)
Q_DECLARE_METATYPE(veltran::MessageResult)

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

using Ids = QList<MessageResult>;

Ids IdsOf(const std::vector<PlannedButton>& buttons)
{
    Ids ids;
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
    MessageResult RunBox(MessageButtons buttons, DefaultButton defaultButton, const QString& labels,
                         const std::function<void(QMessageBox&)>& act);
};

void TestMessageBox::buttonsTakeTheirLabels_data()
{
    QTest::addColumn<MessageButtons>("set");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<Ids>("ids");
    QTest::addColumn<QStringList>("captions");

    const Ids okCancel{MessageResult::Ok, MessageResult::Cancel};
    const Ids yesNoCancel{MessageResult::Yes, MessageResult::No, MessageResult::Cancel};
    const Ids abortRetryIgnore{MessageResult::Abort, MessageResult::Retry, MessageResult::Ignore};
    QTest::newRow("start confirmation, full-width comma does not split")
        << MessageButtons::OkCancel << "OK，知道了,我再看看" << okCancel << QStringList{"OK，知道了", "我再看看"};
    QTest::newRow("about box keeps both spaces")
        << MessageButtons::Ok << "关  闭" << Ids{MessageResult::Ok} << QStringList{"关  闭"};
    QTest::newRow("ok cancel, third label replaces the second on cancel")
        << MessageButtons::OkCancel << "a,b,c" << okCancel << QStringList{"a", "c"};
    QTest::newRow("ok cancel, blank third label is skipped")
        << MessageButtons::OkCancel << "a,b,  " << okCancel << QStringList{"a", "b"};
    QTest::newRow("yes no") << MessageButtons::YesNo << "y,n" << Ids{MessageResult::Yes, MessageResult::No}
                            << QStringList{"y", "n"};
    QTest::newRow("yes no cancel") << MessageButtons::YesNoCancel << "y,n,c" << yesNoCancel
                                   << QStringList{"y", "n", "c"};
    QTest::newRow("yes no cancel, cancel shows second label without a third")
        << MessageButtons::YesNoCancel << "y,n" << yesNoCancel << QStringList{"y", "n", "n"};
    QTest::newRow("yes no cancel, empty piece kept in place")
        << MessageButtons::YesNoCancel << "y,,c" << yesNoCancel << QStringList{"y", kSystem, "c"};
    QTest::newRow("labels after the third are ignored")
        << MessageButtons::YesNoCancel << "a,b,c,d" << yesNoCancel << QStringList{"a", "b", "c"};
    QTest::newRow("abort retry ignore") << MessageButtons::AbortRetryIgnore << "a,r,i" << abortRetryIgnore
                                        << QStringList{"a", "r", "i"};
    QTest::newRow("abort retry ignore, retry shows first label when second is blank")
        << MessageButtons::AbortRetryIgnore << "a, ,i" << abortRetryIgnore << QStringList{"a", "a", "i"};
    QTest::newRow("empty labels keep the system captions")
        << MessageButtons::OkCancel << "" << okCancel << QStringList{kSystem, kSystem};
    QTest::newRow("labels of spaces only keep the system captions")
        << MessageButtons::OkCancel << "   " << okCancel << QStringList{kSystem, kSystem};
    QTest::newRow("blank first label keeps the system ok")
        << MessageButtons::OkCancel << " ,b" << okCancel << QStringList{kSystem, "b"};
    QTest::newRow("surrounding spaces are shown")
        << MessageButtons::Ok << " go " << Ids{MessageResult::Ok} << QStringList{" go "};
}

void TestMessageBox::buttonsTakeTheirLabels()
{
    QFETCH(MessageButtons, set);
    QFETCH(QString, labels);
    QFETCH(Ids, ids);
    QFETCH(QStringList, captions);

    const std::vector<PlannedButton> plan = PlanButtons(set, labels);
    QCOMPARE(IdsOf(plan), ids);
    QCOMPARE(Captions(plan), captions);
}

MessageResult TestMessageBox::RunBox(MessageButtons buttons, DefaultButton defaultButton, const QString& labels,
                                     const std::function<void(QMessageBox&)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        act(*box);
        acted = true;
    });
    MessageRequest request;
    request.text = "text";
    request.caption = "caption";
    request.labels = labels.toStdString();
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.owned = false;
    const MessageResult result = QtMessageBox().ShowMessageBox(request);
    return acted ? result : static_cast<MessageResult>(-1);
}

void TestMessageBox::boxShowsButtonsInSetOrder_data()
{
    QTest::addColumn<MessageButtons>("set");
    QTest::addColumn<DefaultButton>("defaultButton");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("defaultIndex");

    QTest::newRow("ok") << MessageButtons::Ok << DefaultButton::First << "关  闭" << QStringList{"关  闭"} << 0;
    QTest::newRow("ok cancel, second is default")
        << MessageButtons::OkCancel << DefaultButton::Second << "OK，知道了,我再看看"
        << QStringList{"OK，知道了", "我再看看"} << 1;
    QTest::newRow("yes no") << MessageButtons::YesNo << DefaultButton::First << "y,n" << QStringList{"y", "n"} << 0;
    QTest::newRow("yes no cancel, third is default")
        << MessageButtons::YesNoCancel << DefaultButton::Third << "y,n,c" << QStringList{"y", "n", "c"} << 2;
    QTest::newRow("abort retry ignore") << MessageButtons::AbortRetryIgnore << DefaultButton::First << "a,r,i"
                                        << QStringList{"a", "r", "i"} << 0;
    QTest::newRow("default beyond the buttons falls back to the first")
        << MessageButtons::Ok << DefaultButton::Third << "x" << QStringList{"x"} << 0;
}

void TestMessageBox::boxShowsButtonsInSetOrder()
{
    QFETCH(MessageButtons, set);
    QFETCH(DefaultButton, defaultButton);
    QFETCH(QString, labels);
    QFETCH(QStringList, captions);
    QFETCH(int, defaultIndex);

    QStringList shown;
    int shownDefault = -1;
    const MessageResult result = RunBox(set, defaultButton, labels, [&](QMessageBox& box) {
        const QList<QAbstractButton*> buttons = ButtonsLeftToRight(box);
        for (QAbstractButton* button : buttons)
            shown << button->text();
        shownDefault = static_cast<int>(buttons.indexOf(box.defaultButton()));
        buttons.first()->click();
    });
    QCOMPARE(shown, captions);
    QCOMPARE(shownDefault, defaultIndex);
    QCOMPARE(result, PlanButtons(set, labels).front().id);
}

void TestMessageBox::escapeAndCloseBoxGiveEscapeButton_data()
{
    QTest::addColumn<MessageButtons>("set");
    QTest::addColumn<bool>("useCloseBox");
    QTest::addColumn<MessageResult>("expected"); // None: the box stays open

    for (const bool closeBox : {false, true}) {
        const char* how = closeBox ? "close box" : "escape";
        QTest::addRow("ok cancel, %s", how) << MessageButtons::OkCancel << closeBox << MessageResult::Cancel;
        QTest::addRow("yes no cancel, %s", how) << MessageButtons::YesNoCancel << closeBox << MessageResult::Cancel;
        QTest::addRow("lone ok, %s", how) << MessageButtons::Ok << closeBox << MessageResult::Ok;
        QTest::addRow("yes no, %s", how) << MessageButtons::YesNo << closeBox << MessageResult::None;
        QTest::addRow("abort retry ignore, %s", how)
            << MessageButtons::AbortRetryIgnore << closeBox << MessageResult::None;
    }
}

void TestMessageBox::escapeAndCloseBoxGiveEscapeButton()
{
    QFETCH(MessageButtons, set);
    QFETCH(bool, useCloseBox);
    QFETCH(MessageResult, expected);

    bool stayedOpen = false;
    const MessageResult result = RunBox(set, DefaultButton::First, QStringLiteral("a,b,c"), [&](QMessageBox& box) {
        if (useCloseBox)
            box.close();
        else
            QTest::keyClick(&box, Qt::Key_Escape);
        QTest::qWait(50);
        stayedOpen = box.isVisible();
        if (stayedOpen)
            ButtonsLeftToRight(box).last()->click();
    });
    if (expected == MessageResult::None) {
        QVERIFY(stayedOpen);
    } else {
        QVERIFY(!stayedOpen);
        QCOMPARE(result, expected);
    }
}

void TestMessageBox::blankCaptionShowsProgramName()
{
    MessageRequest request;
    request.text = "text";
    request.caption = "   ";
    const auto box = QtMessageBox::Build(request, nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("test_ui"));
}

int RunMessageBoxTests(int argc, char** argv)
{
    TestMessageBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMessageBox.moc"
