#include "SettingsStore.h"

namespace veltran {

int ReadNumber(const SettingsStore& store, const QString& section, const QString& key, int fallback)
{
    const std::optional<QString> text = store.Read(section, key);
    if (!text)
        return fallback;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace veltran
