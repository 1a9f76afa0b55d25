#include "QtSettingsStore.h"

namespace veltran {

namespace {

constexpr char kOrganisation[] = "Veltran";
constexpr char kApplication[] = "Veltran";

QString KeyPath(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

} // namespace

QtSettingsStore::QtSettingsStore() : m_settings(QSettings::UserScope, kOrganisation, kApplication)
{
}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : m_settings(iniFile, QSettings::IniFormat)
{
}

std::optional<QString> QtSettingsStore::Read(const QString& section, const QString& key) const
{
    // Another instance may have written since this one was opened.
    m_settings.sync();
    const QVariant value = m_settings.value(KeyPath(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

bool QtSettingsStore::Write(const QString& section, const QString& key, const QString& value)
{
    if (!m_settings.isWritable())
        return false;
    m_settings.setValue(KeyPath(section, key), value);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

} // namespace veltran
