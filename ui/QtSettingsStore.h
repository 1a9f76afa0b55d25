#pragma once

#include "SettingsStore.h"

#include <QSettings>

namespace veltran {

/// The settings store on QSettings: the user's "Veltran" settings of the organisation "Veltran", or
/// an INI file named by the caller. Values are written as text.
class QtSettingsStore : public SettingsStore
{
public:
    /// The current user's store of the application.
    QtSettingsStore();
    /// A store in the given INI file.
    explicit QtSettingsStore(const QString& iniFile);

    std::optional<std::string> Read(std::string_view section, std::string_view key) const override;
    bool Write(std::string_view section, std::string_view key, std::string_view value) override;

private:
    mutable QSettings m_settings;
};

} // namespace veltran
