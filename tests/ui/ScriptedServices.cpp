#include "ScriptedServices.h"

#include <QApplication>

namespace veltran {

int ScriptedMessageBox::ShowMessageBox(const QString& text, const QString& labels, const QString& caption,
                                       unsigned style, QWidget* owner)
{
    MessageBoxCall call{text, labels, caption, style, owner, owner != nullptr, {}};
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            call.visibleWindows << window->objectName();
    }
    calls.push_back(call);
    if (m_answers.empty()) {
        ++unexpected;
        return 0;
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<QString> MemorySettingsStore::Read(const QString& section, const QString& key) const
{
    const auto found = values.find(section + u'/' + key);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

bool MemorySettingsStore::Write(const QString& section, const QString& key, const QString& value)
{
    if (!writable)
        return false;
    values[section + u'/' + key] = value;
    return true;
}

} // namespace veltran
