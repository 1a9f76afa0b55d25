#include "frmText.h"

#include "CharsetHeader.h"
#include "Reasons.h"
#include "RulesFile.h"
#include "TwipScale.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

namespace veltran {

namespace {

constexpr TwipSize kClientSize{5505, 3825};
constexpr char kRulesFilter[] = "规则文件(*.rules; *.txt)|*.rules;*.txt|所有文件(*.*)|*.*";

template <typename T> T* Place(T* control, const TwipScale& scale, const TwipRect& rect, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(scale.ToPixels(rect));
    return control;
}

QLabel* Label(QWidget* parent, const TwipScale& scale, const QString& caption, const TwipRect& rect, const char* name)
{
    auto* label = Place(new QLabel(caption, parent), scale, rect, name);
    label->resize(label->sizeHint());
    return label;
}

QComboBox* List(QWidget* parent, const TwipScale& scale, const TwipRect& rect, const char* name)
{
    auto* list = Place(new QComboBox(parent), scale, rect, name);
    list->setEditable(false); // the user only picks an item
    list->setMinimumHeight(list->sizeHint().height());
    return list;
}

QPlainTextEdit* TextBox(QWidget* parent, const TwipScale& scale, const TwipRect& rect, const char* name)
{
    auto* box = Place(new QPlainTextEdit(parent), scale, rect, name);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

void Line(QWidget* parent, const TwipScale& scale, double top, QPalette::ColorRole colour, const char* name)
{
    auto* line = Place(new QFrame(parent), scale, TwipRect{0, top, kClientSize.width, 15}, name);
    line->resize(line->width(), 1);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, palette.color(colour));
    line->setPalette(palette);
    line->setAutoFillBackground(true);
}

// A text box shows line breaks as paragraphs and would give back LF for every one, and a space for
// every no-break space. The texts keep their own line breaks instead: CR LF where the rule held CR LF
// (or held no line break yet, as the line breaks a user types in a Windows text box are), LF where it
// held LF alone.
void SetRuleText(QPlainTextEdit& box, const std::u16string& text)
{
    const bool lineFeedsOnly = text.find(u"\r\n") == std::u16string::npos && text.find(u'\n') != std::u16string::npos;
    box.setProperty("veltranLineBreak", lineFeedsOnly ? QStringLiteral("\n") : QStringLiteral("\r\n"));
    box.setPlainText(QString::fromStdU16String(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::u16string RuleText(const QPlainTextEdit& box)
{
    const QString lineBreak = box.property("veltranLineBreak").toString();
    QString raw = box.document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, lineBreak).replace(QChar::LineSeparator, lineBreak);
    return raw.toStdU16String();
}

} // namespace

frmText::frmText(const PlatformServices& services, RuleTable& rules, int& lastShown, QWidget* parent)
    : QDialog(parent), m_services(services), m_rules(rules), m_logic(rules, lastShown)
{
    setObjectName(QStringLiteral("frmText"));
    setWindowTitle(QStringLiteral("定义替换规则"));
    // A fixed dialog: no resizing, no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    const TwipScale scale(logicalDpiX(), logicalDpiY());
    setFixedSize(scale.ToPixels(kClientSize));
    BuildControls(scale);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    Form_Load();
}

void frmText::BuildControls(const TwipScale& scale)
{
    QLabel* number = Label(this, scale, QStringLiteral("规则号(&N)："), {254, 270, 990, 180}, "Label1");
    cmbNumber = List(this, scale, {1259, 210, 1000, 300}, "cmbNumber");
    QLabel* action = Label(this, scale, QStringLiteral("操作(&O)："), {2429, 270, 810, 180}, "Label2");
    cmbAction = List(this, scale, {3284, 210, 1000, 300}, "cmbAction");
    cmdExit = Place(new QPushButton(QStringLiteral("返回(&Y)"), this), scale, {4451, 210, 800, 300}, "cmdExit");
    Line(this, scale, 720, QPalette::Dark, "Line1");
    Line(this, scale, 735, QPalette::Base, "Line2");
    Label(this, scale, QStringLiteral("原文本："), {252, 990, 720, 180}, "lblOld");
    txtOld = TextBox(this, scale, {252, 1255, 5000, 900}, "txtOld");
    Label(this, scale, QStringLiteral("新文本："), {252, 2445, 720, 180}, "lblNew");
    txtNew = TextBox(this, scale, {252, 2715, 5000, 900}, "txtNew");
    number->setBuddy(cmbNumber);
    action->setBuddy(cmbAction);
    setTabOrder(cmbNumber, cmbAction);
    setTabOrder(cmbAction, cmdExit);
    setTabOrder(cmdExit, txtOld);
    setTabOrder(txtOld, txtNew);
    cmdExit->setAutoDefault(false);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);

    auto* load = new QAction(QStringLiteral("从规则文件载入(&L)..."), this);
    auto* save = new QAction(QStringLiteral("保存到规则文件(&S)..."), this);
    load->setObjectName(QStringLiteral("actLoadRules"));
    save->setObjectName(QStringLiteral("actSaveRules"));
    load->setShortcut(QKeySequence::Open);
    save->setShortcut(QKeySequence::Save);
    connect(load, &QAction::triggered, this, &frmText::LoadRules);
    connect(save, &QAction::triggered, this, &frmText::SaveRules);
    addAction(load);
    addAction(save);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void frmText::Form_Load()
{
    cmbAction->addItems({QStringLiteral("替换"), QStringLiteral("插入头"), QStringLiteral("追加尾")});
    cmbAction->setCurrentIndex(-1);
    for (int number = 1; number <= RuleTable::kRuleCount; ++number)
        cmbNumber->addItem(QString::number(number));
    cmbNumber->setCurrentIndex(-1);
    connect(cmbAction, &QComboBox::currentIndexChanged, this, &frmText::cmbAction_Click);
    connect(cmbNumber, &QComboBox::currentIndexChanged, this, &frmText::cmbNumber_Click);
    cmbNumber->setCurrentIndex(m_logic.FirstRule() - 1);
}

void frmText::cmbNumber_Click()
{
    if (const std::optional<RuleFields> chosen = m_logic.Choose(cmbNumber->currentIndex() + 1, Shown()))
        LoadRule(*chosen);
}

void frmText::cmbAction_Click()
{
    const bool editable = RuleEditorLogic::OldTextEditable(cmbAction->currentIndex());
    txtOld->setEnabled(editable);
    if (!editable)
        SetRuleText(*txtOld, kInsertPlaceholder);
}

void frmText::Form_Unload()
{
    if (std::exchange(m_unloaded, true))
        return;
    m_logic.Close(cmbNumber->currentIndex() + 1, Shown());
}

void frmText::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

RuleFields frmText::Shown() const
{
    return {cmbAction->currentIndex(), RuleText(*txtOld), RuleText(*txtNew)};
}

void frmText::LoadRule(const RuleFields& fields)
{
    // The action first, which sets the old-text box as the action wants it; then the stored texts.
    cmbAction->setCurrentIndex(fields.action >= 0 && fields.action < cmbAction->count() ? fields.action : -1);
    cmbAction_Click();
    SetRuleText(*txtOld, fields.oldText);
    SetRuleText(*txtNew, fields.newText);
}

void frmText::SaveRules()
{
    const std::filesystem::path file = m_services.fileDialogs.SaveFileDialog("保存替换规则", {}, kRulesFilter);
    if (file.empty())
        return;
    // The rule shown is part of the set even before another is chosen.
    m_logic.StoreRule(cmbNumber->currentIndex() + 1, Shown());
    if (const Status saved = SaveRulesFile(file, m_rules); !saved)
        ShowError(QFile::decodeName(file.c_str()).toStdString() + "：" + ReasonText(saved, Language::Chinese));
}

void frmText::LoadRules()
{
    const std::vector<std::filesystem::path> files =
        m_services.fileDialogs.ShowFileDialog("载入替换规则", {}, kRulesFilter);
    if (files.empty())
        return;
    RuleTable loaded;
    if (const Result<int> count = LoadRulesFile(files.front(), 1, loaded); !count) {
        ShowError(QFile::decodeName(files.front().c_str()).toStdString() + "：" +
                  ReasonText(count.status(), Language::Chinese));
        return;
    }
    m_rules = loaded;
    const QSignalBlocker blocker(cmbNumber);
    const ReplaceRule& shown = m_rules.Rule(cmbNumber->currentIndex() + 1);
    LoadRule({static_cast<int>(shown.kind), shown.oldText, shown.newText});
}

void frmText::ShowError(const std::string& text)
{
    m_services.messageBox.ShowMessageBox(StandardMessage(text, "定义替换规则", MessageIcon::Error));
}

} // namespace veltran
