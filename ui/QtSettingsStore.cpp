#include "QtSettingsStore.h"

namespace veltran {

namespace {

constexpr char kOrganisation[] = "Veltran";
constexpr char kApplication[] = "Veltran";

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString KeyPath(std::string_view section, std::string_view key)
{
    return Text(section) + u'/' + Text(key);
}

} // namespace

QtSettingsStore::QtSettingsStore() : m_settings(QSettings::UserScope, kOrganisation, kApplication)
{
}

QtSettingsStore::QtSettingsStore(const QString& iniFile) : m_settings(iniFile, QSettings::IniFormat)
{
}

std::optional<std::string> QtSettingsStore::Read(std::string_view section, std::string_view key) const
{
    // Another instance may have written since this one was opened.
    m_settings.sync();
    const QVariant value = m_settings.value(KeyPath(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

bool QtSettingsStore::Write(std::string_view section, std::string_view key, std::string_view value)
{
    if (!m_settings.isWritable())
        return false;
    m_settings.setValue(KeyPath(section, key), Text(value));
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

} // namespace veltran
