#pragma once

#include "PlatformServices.h"
#include "RuleEditorLogic.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace veltran {

class TwipScale;

/// The rule editor "定义替换规则": one rule of the table at a time, chosen by number, with its action
/// and its two texts. A fixed-size modal dialog centred on the screen. There is no cancel: the rule
/// shown is stored when another is chosen and however the dialog closes. Its context menu saves the
/// rules to a rules file and loads them from one, in the format veltran-cli --rules reads.
class frmText : public QDialog
{
    Q_OBJECT

public:
    /// `lastShown` (the rule shown when the editor last closed, from 0) must outlive the dialog, and
    /// so must the rules and the services.
    frmText(const PlatformServices& services, RuleTable& rules, int& lastShown, QWidget* parent = nullptr);

    QComboBox* cmbNumber = nullptr;
    QComboBox* cmbAction = nullptr;
    QPushButton* cmdExit = nullptr;
    QPlainTextEdit* txtOld = nullptr;
    QPlainTextEdit* txtNew = nullptr;

    void Form_Load();
    void cmbNumber_Click();
    void cmbAction_Click();
    void Form_Unload();
    void SaveRules();
    void LoadRules();

    /// Runs Form_Unload, however the dialog closes.
    void done(int result) override;

private:
    void BuildControls(const TwipScale& scale);
    RuleFields Shown() const;
    void LoadRule(const RuleFields& fields);
    void ShowError(const std::string& text);

    PlatformServices m_services;
    RuleTable& m_rules;
    RuleEditorLogic m_logic;
    bool m_unloaded = false;
};

} // namespace veltran
