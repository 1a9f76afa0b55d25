#include "CharsetHeader.h"
#include "CliProcess.h"
#include "RuleEditorLogic.h"
#include "TestRunners.h"
#include "WindowFixture.h"
#include "frmText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <map>

using namespace veltran;
using namespace veltran::test;

namespace {

namespace fs = std::filesystem;

const QString kPlaceholder = QString::fromUtf16(kInsertPlaceholder);

} // namespace

class TestRuleEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstClickMakesTheCharsetRuleAndOpensRuleOne();
    void untickOpensNothingAndTheRuleIsMadeOnce();
    void editsSurviveSwitchingRulesAndReopening();
    void appendActionStoresThePlaceholder();
    void choosingTheShownRuleStoresNothing();
    void rulesSavedFromTheEditorRewriteFilesAsTheCommandLineDoes();
    void badRulesFileIsReportedAndChangesNothing();

private:
    const MainWindowControls& Controls() const { return m_fixture->window->Controls(); }
    ScriptedServices& Services() { return *m_fixture->services; }
    RuleTable& Rules() { return *m_fixture->rules; }
    // Clicks "替换内容..." and, when the editor opens, lets `work` use it before it is closed by `close`
    // (the close box when empty, or the button). Returns whether the editor opened.
    bool ClickRulesBox(const std::function<void(frmText&)>& work = {}, bool closeBox = false)
    {
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            auto* editor = qobject_cast<frmText*>(QApplication::activeModalWidget());
            if (!editor)
                return;
            opened = true;
            if (work)
                work(*editor);
            if (closeBox)
                editor->close();
            else
                QTest::mouseClick(editor->cmdExit, Qt::LeftButton);
        });
        QTest::mouseClick(Controls().chkText, Qt::LeftButton);
        QApplication::processEvents();
        return opened;
    }

    std::unique_ptr<WindowFixture> m_fixture;
};

void TestRuleEditor::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_fixture->window.get()));
}

void TestRuleEditor::cleanup()
{
    m_fixture->window.reset();
    QVERIFY2(m_fixture->watchdog->Intrusions().isEmpty(), qPrintable(m_fixture->watchdog->Intrusions().join(", ")));
    QCOMPARE(Services().Unexpected(), 0);
    m_fixture.reset();
}

void TestRuleEditor::firstClickMakesTheCharsetRuleAndOpensRuleOne()
{
    Controls().optBig5->click();
    RuleFields shown;
    bool oldTextEnabled = true;
    QString title;
    QVERIFY(ClickRulesBox([&](frmText& editor) {
        title = editor.windowTitle();
        shown = {editor.cmbAction->currentIndex(), editor.txtOld->toPlainText().toStdU16String(),
                 editor.txtNew->toPlainText().replace("\n", "\r\n").toStdU16String()};
        oldTextEnabled = editor.txtOld->isEnabled();
        QCOMPARE(editor.cmbNumber->currentText(), QStringLiteral("1"));
        QVERIFY(!editor.cmbNumber->isEditable() && !editor.cmbAction->isEditable());
    }));
    QCOMPARE(title, QStringLiteral("定义替换规则"));
    QCOMPARE(shown.action, 1);
    QVERIFY(!oldTextEnabled);
    QCOMPARE(QString::fromStdU16String(shown.oldText), kPlaceholder);
    QVERIFY(
        QString::fromStdU16String(shown.newText).startsWith("<%@ CODEPAGE=950 %>\r\n<%Response.Charset=\"BIG5\"%>"));
    // The editor stores what it shows when it closes; the header keeps its CR LF line breaks.
    QCOMPARE(Rules().Rule(1).newText, shown.newText);
    QVERIFY(Rules().Rule(1).newText.find(u"%>\r\n<%Response") != std::u16string::npos);
}

void TestRuleEditor::untickOpensNothingAndTheRuleIsMadeOnce()
{
    Controls().optBig5->click();
    QVERIFY(ClickRulesBox());
    const std::u16string made = Rules().Rule(1).newText;
    Controls().optUtf8->click();
    QVERIFY(!ClickRulesBox()); // unticks
    QVERIFY(!Controls().chkText->isChecked());
    QVERIFY(ClickRulesBox());
    QCOMPARE(Rules().Rule(1).newText, made);
}

void TestRuleEditor::editsSurviveSwitchingRulesAndReopening()
{
    QVERIFY(ClickRulesBox(
        [](frmText& editor) {
            editor.cmbNumber->setCurrentIndex(2);
            editor.cmbAction->setCurrentIndex(0);
            editor.txtOld->setPlainText("gb2312");
            editor.txtNew->setPlainText("utf-8");
            editor.cmbNumber->setCurrentIndex(3);
        },
        true));
    QCOMPARE(Rules().Rule(3).oldText, std::u16string(u"gb2312"));
    QCOMPARE(Rules().Rule(3).newText, std::u16string(u"utf-8"));

    QVERIFY(!ClickRulesBox());
    QString reopenedOn;
    QVERIFY(ClickRulesBox([&](frmText& editor) { reopenedOn = editor.cmbNumber->currentText(); }));
    QCOMPARE(reopenedOn, QStringLiteral("4"));
    QCOMPARE(Rules().Rule(3).newText, std::u16string(u"utf-8"));
}

void TestRuleEditor::appendActionStoresThePlaceholder()
{
    QVERIFY(ClickRulesBox([](frmText& editor) {
        editor.cmbNumber->setCurrentIndex(1);
        editor.txtOld->setPlainText("typed");
        editor.cmbAction->setCurrentIndex(2);
        QVERIFY(!editor.txtOld->isEnabled());
        editor.txtNew->setPlainText("<!-- end -->");
    }));
    QCOMPARE(Rules().Rule(2).kind, RuleKind::AppendAtTail);
    QCOMPARE(QString::fromStdU16String(Rules().Rule(2).oldText), kPlaceholder);
    QCOMPARE(Rules().Rule(2).newText, std::u16string(u"<!-- end -->"));
}

void TestRuleEditor::choosingTheShownRuleStoresNothing()
{
    RuleTable rules;
    int lastShown = 4;
    RuleEditorLogic logic(rules, lastShown);
    QCOMPARE(logic.FirstRule(), 5);
    const std::optional<RuleFields> five = logic.Choose(5, {});
    QVERIFY(five && five->action == 0 && five->oldText.empty());
    QVERIFY(!logic.Choose(5, {1, u"x", u"y"}));
    QCOMPARE(rules.Rule(5).kind, RuleKind::Replace);
    QVERIFY(logic.Choose(6, {2, u"a", u"b"}));
    QCOMPARE(rules.Rule(5).kind, RuleKind::AppendAtTail);
    logic.Close(6, {0, u"c", u"d"});
    QCOMPARE(lastShown, 5);
    QCOMPARE(rules.Rule(6).newText, std::u16string(u"d"));
}

void TestRuleEditor::rulesSavedFromTheEditorRewriteFilesAsTheCommandLineDoes()
{
    const fs::path window = m_fixture->Folder() / "window";
    const fs::path cli = m_fixture->Folder() / "cli";
    for (const fs::path& copy : {window, cli}) {
        fs::create_directories(copy);
        fs::copy(VELTRAN_SAMPLES_DIR, copy / "site", fs::copy_options::recursive);
    }
    const fs::path rulesFile = m_fixture->Folder() / "site.rules";
    Services().dialogs.saveAs.Queue(rulesFile);
    QVERIFY(ClickRulesBox([](frmText& editor) {
        editor.cmbNumber->setCurrentIndex(1);
        editor.cmbAction->setCurrentIndex(0);
        editor.txtOld->setPlainText("charset=gb2312");
        editor.txtNew->setPlainText("charset=utf-8");
        editor.findChild<QAction*>("actSaveRules")->trigger();
    }));
    QVERIFY(fs::exists(rulesFile));

    m_fixture->window->AddPaths({window / "site"});
    Controls().chkU8BOM->setChecked(false);
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(m_fixture->RunToEnd([&] { Controls().cmdStartConvert->click(); }));
    const CliResult result =
        RunCliProcess({"--quiet", "--from", "gb", "--to", "utf8", "--rules", rulesFile.string(), "site"}, cli);
    QCOMPARE(result.status, 0);
    for (const auto& entry : fs::recursive_directory_iterator(window / "site")) {
        if (!entry.is_regular_file())
            continue;
        const fs::path twin = cli / "site" / fs::relative(entry.path(), window / "site");
        QVERIFY2(ReadBytes(entry.path()) == ReadBytes(twin), qPrintable(QString::fromStdString(twin.string())));
    }
    QVERIFY(ReadBytes(window / "site" / "index.htm").starts_with("<%@ CODEPAGE=65001 %>"));
}

void TestRuleEditor::badRulesFileIsReportedAndChangesNothing()
{
    const fs::path bad = m_fixture->Folder() / "bad.rules";
    WriteFile(bad, "replace\tonly-one-text\n");
    Services().dialogs.files.Queue({bad});
    Services().messageBox.answers.Queue(MessageResult::Ok);
    QVERIFY(ClickRulesBox([](frmText& editor) { editor.findChild<QAction*>("actLoadRules")->trigger(); }));
    QCOMPARE(Services().messageBox.calls.size(), std::size_t{1});
    const std::string& error = Services().messageBox.calls.front().text;
    QVERIFY2(error.find("第 1 行：replace 规则需要两段以 TAB 分隔的文本") != std::string::npos, error.c_str());
    QCOMPARE(Rules().Rule(1).kind, RuleKind::InsertAtHead);
}

int RunRuleEditorTests(int argc, char** argv)
{
    TestRuleEditor test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestRuleEditor.moc"
