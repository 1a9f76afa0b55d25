#pragma once

#include "FileDialogs.h"
#include "InputBox.h"
#include "MessageBoxService.h"
#include "PlatformServices.h"
#include "SettingsStore.h"
#include "TextViewer.h"
#include "UrlOpener.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <map>
#include <vector>

namespace veltran {

struct MessageBoxCall
{
    QString text;
    QString labels;
    QString caption;
    unsigned style = 0;
    QPointer<QWidget> owner;
    bool hadOwner = false;
    QStringList visibleWindows; // object names of the top-level windows shown when the box opened
};

/// Records every box and answers with the queued ids; a box with no answer queued is recorded as
/// unexpected and answered with 0.
class ScriptedMessageBox : public MessageBoxService
{
public:
    void QueueAnswer(int id) { m_answers.push_back(id); }
    int ShowMessageBox(const QString& text, const QString& labels, const QString& caption, unsigned style,
                       QWidget* owner) override;

    std::vector<MessageBoxCall> calls;
    int unexpected = 0;

private:
    std::deque<int> m_answers;
};

/// Settings kept in memory; `writable` false makes every write fail.
class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<QString> Read(const QString& section, const QString& key) const override;
    bool Write(const QString& section, const QString& key, const QString& value) override;

    std::map<QString, QString> values; // "section/key" to text
    bool writable = true;
};

class RecordingUrlOpener : public UrlOpener
{
public:
    void OpenUrl(const QString& address) override { opened << address; }
    QStringList opened;
};

/// Dialogs, input box and viewer for tests that must not use them: each use is counted and cancelled.
class CancellingDialogs : public FileDialogs, public InputBox, public TextViewer
{
public:
    std::vector<std::filesystem::path> ShowFileDialog(std::string_view, std::string_view, std::string_view) override
    {
        ++uses;
        return {};
    }
    std::filesystem::path BrowseForFolder(std::string_view, const std::filesystem::path&) override
    {
        ++uses;
        return {};
    }
    std::string Ask(std::string_view, std::string_view, std::string_view) override
    {
        ++uses;
        return {};
    }
    std::string ShowFile(const std::filesystem::path&) override
    {
        ++uses;
        return {};
    }

    int uses = 0;
};

/// One set of doubles, handed to the windows as their services.
struct ScriptedServices
{
    ScriptedMessageBox messageBox;
    MemorySettingsStore settings;
    RecordingUrlOpener urlOpener;
    CancellingDialogs dialogs;

    PlatformServices Services() { return {messageBox, settings, urlOpener, dialogs, dialogs, dialogs}; }
};

} // namespace veltran
