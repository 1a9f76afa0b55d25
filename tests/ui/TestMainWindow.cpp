#include "FileListView.h"
#include "MainWindowDesign.h"
#include "ModalWatchdog.h"
#include "Product.h"
#include "ResizeRule.h"
#include "RuleTable.h"
#include "ScriptedServices.h"
#include "TestRunners.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace veltran;
using namespace veltran::test;

namespace {

// One pixel at the screen's dpi, in twips: positions can be off by that much after rounding.
double PixelTwips(const frmMain& window)
{
    return window.Scale().TwipsPerPixelX();
}

TwipRect GeometryInTwips(const frmMain& window, const QWidget& control)
{
    return window.Scale().ToTwips(control.geometry());
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsFollowTheirDesign();
    void tabOrderFollowsDesign();
    void enlargingScalesRegisteredControls();
    void shrinkingSnapsToMinimumAndCentres_data();
    void shrinkingSnapsToMinimumAndCentres();
    void atTheMinimumInWholePixelsIsNotBelowIt();
    void maximisedLaysOutAgainstTheMaximisedArea();
    void targetOptionsTieBomBoxWithoutTouchingItsMark_data();
    void targetOptionsTieBomBoxWithoutTouchingItsMark();
    void escapeAsksToStop_data();
    void escapeAsksToStop();
    void linkTurnsRedOverItAndBlueOverBareWindow();
    void linkClickOpensHomePage();

private:
    template <class T> T& Find(const char* name)
    {
        T* control = m_window->findChild<T*>(QString::fromLatin1(name));
        Q_ASSERT(control);
        return *control;
    }
    void ShowWindow();

    QTemporaryDir m_folder;
    std::unique_ptr<ModalWatchdog> m_watchdog;
    std::unique_ptr<ScriptedServices> m_services;
    std::unique_ptr<RuleTable> m_rules;
    std::unique_ptr<frmMain> m_window;
};

void TestMainWindow::init()
{
    m_watchdog = std::make_unique<ModalWatchdog>();
    m_services = std::make_unique<ScriptedServices>();
    m_rules = std::make_unique<RuleTable>();
    const WindowFolders folders{m_folder.filePath("Veltran.log").toStdString(), m_folder.path().toStdString()};
    m_window = std::make_unique<frmMain>(m_services->Services(), *m_rules, folders);
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    QVERIFY2(m_watchdog->Intrusions().isEmpty(), qPrintable(m_watchdog->Intrusions().join(", ")));
    QCOMPARE(m_services->messageBox.calls.size(), std::size_t{0});
}

void TestMainWindow::ShowWindow()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTest::qWait(20);
}

void TestMainWindow::controlsFollowTheirDesign()
{
    // The builder applies every row of the design table: kind, container, caption, tooltip and states.
    const auto kindOf = [](ControlKind kind) -> const char* {
        switch (kind) {
        case ControlKind::Label:
        case ControlKind::LinkLabel:
            return "QLabel";
        case ControlKind::ListBox:
            return "veltran::FileListView";
        case ControlKind::Button:
            return "QPushButton";
        case ControlKind::CheckBox:
            return "QCheckBox";
        case ControlKind::OptionButton:
            return "QRadioButton";
        case ControlKind::Frame:
            return "QGroupBox";
        case ControlKind::Panel:
            return "QFrame";
        }
        return "";
    };
    for (const ControlDesign& design : MainWindowDesign()) {
        const QWidget* control = m_window->findChild<QWidget*>(design.name);
        QVERIFY2(control, design.name);
        QCOMPARE(control->metaObject()->className(), kindOf(design.kind));
        QCOMPARE(control->parentWidget()->objectName(), design.container ? design.container : "frmMain");
        QString caption;
        if (const auto* label = qobject_cast<const QLabel*>(control))
            caption = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            caption = button->text();
        else if (const auto* frame = qobject_cast<const QGroupBox*>(control))
            caption = frame->title();
        QCOMPARE(caption, design.kind == ControlKind::LinkLabel ? LinkCaption()
                          : design.caption                      ? QString::fromUtf16(design.caption)
                                                                : QString());
        QCOMPARE(control->toolTip(), design.toolTip ? QString::fromUtf16(design.toolTip) : QString());
        QCOMPARE(control->isEnabled(), design.enabled);
        QCOMPARE(!control->isHidden(), design.visible);
        if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            QCOMPARE(button->isChecked(), design.checked);
    }
    QCOMPARE(m_window->Controls().lstFiles->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void TestMainWindow::tabOrderFollowsDesign()
{
    const QStringList focusable = {"lstFiles",      "cmdStartConvert", "cmdStopConvert", "cmdAddFile", "cmdAddDir",
                                   "cmdRemoveFile", "cmdRemoveUnsel",  "cmdRemoveAll",   "cmdAbout",   "cmdExit",
                                   "chkBackup",     "chkText",         "optFrmUTF8",     "optFrmGb",   "optFrmBig5",
                                   "optUtf8",       "optGb",           "optBig5",        "chkU8BOM"};
    QStringList chain;
    QWidget* widget = &Find<QWidget>("lstFiles");
    do {
        if (focusable.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != &Find<QWidget>("lstFiles"));
    QCOMPARE(chain, focusable);
}

void TestMainWindow::enlargingScalesRegisteredControls()
{
    ShowWindow();
    const QPoint optionOffset = Find<QWidget>("optGb").pos();
    const QPoint bomOffset = Find<QWidget>("chkU8BOM").pos();

    const TwipScale scale = m_window->Scale();
    const QSize inner = scale.ToPixels(TwipSize{8875, 6500});
    m_window->resize(inner);
    QTRY_COMPARE(m_window->size(), inner);
    QTest::qWait(20);

    const TwipRect start = GeometryInTwips(*m_window, Find<QWidget>("cmdStartConvert"));
    QVERIFY2(qAbs(start.left - 7208) <= 2 * PixelTwips(*m_window), qPrintable(QString::number(start.left)));
    QVERIFY2(qAbs(start.width - 1578) <= 2 * PixelTwips(*m_window), qPrintable(QString::number(start.width)));
    QCOMPARE(Find<QWidget>("optGb").pos(), optionOffset);
    QCOMPARE(Find<QWidget>("chkU8BOM").pos(), bomOffset);

    // The larger window is centred too.
    const QRect frame = m_window->frameGeometry();
    const QRect screen = m_window->screen()->geometry();
    QVERIFY(qAbs(frame.left() - (screen.width() - frame.width()) / 2) <= 1);
}

void TestMainWindow::shrinkingSnapsToMinimumAndCentres_data()
{
    QTest::addColumn<QSize>("requested"); // twips; empty: as the window opens

    QTest::newRow("opening below the minimum") << QSize();
    QTest::newRow("too narrow") << QSize(6000, 9000);
    QTest::newRow("too low") << QSize(12000, 5000);
    QTest::newRow("both") << QSize(3000, 3000);
}

void TestMainWindow::shrinkingSnapsToMinimumAndCentres()
{
    QFETCH(QSize, requested);

    ShowWindow();
    if (!requested.isEmpty())
        m_window->resize(m_window->Scale().ToPixels(TwipSize{double(requested.width()), double(requested.height())}));
    const QSize minimum = m_window->Scale().ToPixels(kMinimumWindowSize);
    QTRY_COMPARE(m_window->frameGeometry().size(), minimum);
    const QRect screen = m_window->screen()->geometry();
    QTRY_VERIFY(qAbs(m_window->frameGeometry().left() - (screen.width() - minimum.width()) / 2) <= 1);
    QTRY_VERIFY(qAbs(m_window->frameGeometry().top() - (screen.height() - minimum.height()) / 2) <= 1);
}

void TestMainWindow::atTheMinimumInWholePixelsIsNotBelowIt()
{
    // 8000 twips are 533.3 pixels at 96 dpi: a window 533 pixels wide and taller than the minimum keeps
    // its height.
    ShowWindow();
    const QSize minimum = m_window->Scale().ToPixels(kMinimumWindowSize);
    const QSize taller(minimum.width(), minimum.height() + 100);
    m_window->resize(taller - (m_window->frameGeometry().size() - m_window->size()));
    QTest::qWait(50);
    QCOMPARE(m_window->frameGeometry().size(), taller);
}

void TestMainWindow::maximisedLaysOutAgainstTheMaximisedArea()
{
    ShowWindow();
    const QPoint before = Find<QWidget>("cmdStartConvert").pos();
    m_window->showMaximized();
    QTRY_VERIFY(m_window->Scale().ToTwips(m_window->size()).width > kMinimumWindowSize.width + 1000);

    const TwipSize inner = m_window->Scale().ToTwips(m_window->size());
    QTRY_VERIFY(Find<QWidget>("cmdStartConvert").pos() != before);
    const TwipRect start = GeometryInTwips(*m_window, Find<QWidget>("cmdStartConvert"));
    QVERIFY(qAbs(start.left - inner.width * 6396 / 7875) <= 2 * PixelTwips(*m_window));
    QVERIFY(qAbs(start.top - inner.height * 412 / 5895) <= 2 * PixelTwips(*m_window));

    // Minimising moves nothing.
    m_window->showMinimized();
    QTest::qWait(20);
    QCOMPARE(GeometryInTwips(*m_window, Find<QWidget>("cmdStartConvert")).left, start.left);
}

void TestMainWindow::targetOptionsTieBomBoxWithoutTouchingItsMark_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("bomEnabled");

    for (const bool marked : {true, false}) {
        QTest::addRow("GB disables, %s", marked ? "ticked" : "unticked") << marked << "optGb" << false;
        QTest::addRow("BIG5 disables, %s", marked ? "ticked" : "unticked") << marked << "optBig5" << false;
        QTest::addRow("back to UTF-8 enables, %s", marked ? "ticked" : "unticked") << marked << "optUtf8" << true;
    }
}

void TestMainWindow::targetOptionsTieBomBoxWithoutTouchingItsMark()
{
    QFETCH(bool, marked);
    QFETCH(QString, target);
    QFETCH(bool, bomEnabled);

    ShowWindow();
    auto& bom = Find<QCheckBox>("chkU8BOM");
    bom.setChecked(marked);
    // Leave UTF-8 first, so that choosing it again is a real change.
    QTest::mouseClick(&Find<QRadioButton>("optBig5"), Qt::LeftButton);
    QTest::mouseClick(m_window->findChild<QRadioButton*>(target), Qt::LeftButton);

    QVERIFY(m_window->findChild<QRadioButton*>(target)->isChecked());
    QCOMPARE(bom.isEnabled(), bomEnabled);
    QCOMPARE(bom.isChecked(), marked);
    QCOMPARE(bom.text(), QStringLiteral("带BOM"));
}

void TestMainWindow::escapeAsksToStop_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("stop");

    QTest::newRow("Esc in the list") << "lstFiles" << int(Qt::Key_Escape) << true;
    QTest::newRow("Esc on an option") << "optGb" << int(Qt::Key_Escape) << true;
    QTest::newRow("another key is ignored") << "lstFiles" << int(Qt::Key_A) << false;
}

void TestMainWindow::escapeAsksToStop()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, stop);

    ShowWindow();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QWidget* target = m_window->findChild<QWidget*>(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(m_window->windowHandle(), Qt::Key(key));
    QCOMPARE(m_window->Events().StopRequested(), stop);
}

void TestMainWindow::linkTurnsRedOverItAndBlueOverBareWindow()
{
    ShowWindow();
    auto& link = Find<QLabel>("Label1");
    const auto colour = [&link] { return link.palette().color(QPalette::WindowText); };
    QCOMPARE(colour(), QColor(Qt::blue));

    QTest::mouseMove(&link, link.rect().center());
    QTRY_COMPARE(colour(), QColor(Qt::red));

    // Over another control the link stays red; over the bare window it turns blue.
    QTest::mouseMove(&Find<QWidget>("lblFiles"));
    QTest::qWait(20);
    QCOMPARE(colour(), QColor(Qt::red));
    const QPoint bare(2, 2);
    QCOMPARE(m_window->childAt(bare), nullptr);
    QTest::mouseMove(m_window.get(), bare);
    QTRY_COMPARE(colour(), QColor(Qt::blue));
}

void TestMainWindow::linkClickOpensHomePage()
{
    ShowWindow();
    QTest::mouseClick(&Find<QLabel>("Label1"), Qt::LeftButton);
    QCOMPARE(m_services->urlOpener.opened,
             std::vector<std::string>{"http://" + QString::fromUtf16(kMakerHost).toStdString() + "/?tool"});
}

int RunMainWindowTests(int argc, char** argv)
{
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMainWindow.moc"
