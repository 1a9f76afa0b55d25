#pragma once

#include <QString>

#include <optional>

namespace veltran {

/// The section that holds the program's two remembered values, and their keys.
inline const QString kSettingsSection = QStringLiteral("Parameter");
inline const QString kFirstRunKey = QStringLiteral("FirstRunMe");
inline const QString kWindowKey = QStringLiteral("Window");

/// The per-user settings store: texts under a section and a key, kept between starts.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    /// The stored text, or none when the key is missing.
    virtual std::optional<QString> Read(const QString& section, const QString& key) const = 0;
    /// Stores the text; false when the store cannot be written, which callers may ignore.
    virtual bool Write(const QString& section, const QString& key, const QString& value) = 0;
};

/// The stored value as a whole number; `fallback` when it is missing or does not read as a number
/// (blanks around the digits are allowed).
int ReadNumber(const SettingsStore& store, const QString& section, const QString& key, int fallback);

} // namespace veltran
