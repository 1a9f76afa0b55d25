#pragma once

#include "PlatformServices.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace veltran::test {

/// Takes the next scripted answer from a queue; an empty queue counts the call as unexpected.
template <typename Answer> class AnswerQueue
{
public:
    void Queue(Answer answer) { m_answers.push_back(std::move(answer)); }
    Answer Next(Answer fallback)
    {
        if (m_answers.empty()) {
            ++unexpected;
            return fallback;
        }
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }
    bool Empty() const { return m_answers.empty(); }

    int unexpected = 0;

private:
    std::deque<Answer> m_answers;
};

/// Records every box and answers with the queued results; a box with no answer queued is counted as
/// unexpected and answered None. `onShow` runs while the box is "open", e.g. to press keys meanwhile.
class ScriptedMessageBox : public MessageBoxService
{
public:
    MessageResult ShowMessageBox(const MessageRequest& request) override
    {
        calls.push_back(request);
        if (onShow)
            onShow(request);
        return answers.Next(MessageResult::None);
    }

    std::vector<MessageRequest> calls;
    AnswerQueue<MessageResult> answers;
    std::function<void(const MessageRequest&)> onShow;
};

/// Settings kept in memory; `writable` false makes every write fail.
class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<std::string> Read(std::string_view section, std::string_view key) const override
    {
        const auto found = values.find(Key(section, key));
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    bool Write(std::string_view section, std::string_view key, std::string_view value) override
    {
        if (!writable)
            return false;
        values[Key(section, key)] = std::string(value);
        return true;
    }
    static std::string Key(std::string_view section, std::string_view key)
    {
        return std::string(section) + "/" + std::string(key);
    }

    std::map<std::string, std::string> values; // "section/key" to text
    bool writable = true;
};

class RecordingUrlOpener : public UrlOpener
{
public:
    void OpenUrl(std::string_view address) override { opened.emplace_back(address); }
    std::vector<std::string> opened;
};

struct FileDialogCall
{
    std::string title;
    std::filesystem::path startFolder;
    std::string filter;
};

/// Dialogs and input box answering from queues; every call is recorded. An empty queue cancels.
class ScriptedDialogs : public FileDialogs, public InputBox
{
public:
    std::vector<std::filesystem::path> ShowFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                                      std::string_view filter) override
    {
        fileCalls.push_back({std::string(title), startFolder, std::string(filter)});
        return files.Next({});
    }
    std::filesystem::path SaveFileDialog(std::string_view title, const std::filesystem::path& startFolder,
                                         std::string_view filter) override
    {
        saveCalls.push_back({std::string(title), startFolder, std::string(filter)});
        return saveAs.Next({});
    }
    std::filesystem::path BrowseForFolder(std::string_view title, const std::filesystem::path& startFolder) override
    {
        folderCalls.push_back({std::string(title), startFolder, {}});
        return folders.Next({});
    }
    std::string Ask(std::string_view prompt, std::string_view title, std::string_view defaultAnswer) override
    {
        askCalls.push_back({std::string(prompt), std::string(title), std::string(defaultAnswer)});
        return answers.Next({});
    }

    AnswerQueue<std::vector<std::filesystem::path>> files;
    AnswerQueue<std::filesystem::path> folders;
    AnswerQueue<std::filesystem::path> saveAs;
    AnswerQueue<std::string> answers;
    std::vector<FileDialogCall> fileCalls;
    std::vector<FileDialogCall> folderCalls;
    std::vector<FileDialogCall> saveCalls;
    std::vector<std::vector<std::string>> askCalls; // prompt, title, default answer
};

/// Records the files it is asked to show, how they were to be read, and the texts.
class RecordingViewer : public TextViewer
{
public:
    Status ShowFile(const std::filesystem::path& file, EncodingId encoding) override
    {
        shown.push_back(file);
        encodings.push_back(encoding);
        return Status::Success();
    }
    void ShowText(const std::string& title, const std::string& text) override { texts.push_back({title, text}); }
    std::vector<std::filesystem::path> shown;
    std::vector<EncodingId> encodings;
    std::vector<std::pair<std::string, std::string>> texts; // title, text
};

/// One set of doubles, handed to the windows as their services.
struct ScriptedServices
{
    ScriptedMessageBox messageBox;
    MemorySettingsStore settings;
    RecordingUrlOpener urlOpener;
    ScriptedDialogs dialogs;
    RecordingViewer viewer;

    PlatformServices Services() { return {messageBox, settings, urlOpener, dialogs, dialogs, viewer}; }
    /// Calls nobody scripted: boxes, dialogs and input boxes with no answer queued.
    int Unexpected() const
    {
        return messageBox.answers.unexpected + dialogs.files.unexpected + dialogs.folders.unexpected +
               dialogs.saveAs.unexpected + dialogs.answers.unexpected;
    }
};

} // namespace veltran::test
