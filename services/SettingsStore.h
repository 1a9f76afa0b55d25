#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltran {

/// The section that holds the program's two remembered values, and their keys.
inline constexpr std::string_view kSettingsSection = "Parameter";
inline constexpr std::string_view kFirstRunKey = "FirstRunMe";
inline constexpr std::string_view kWindowKey = "Window";

/// The per-user settings store: texts (UTF-8) under a section and a key, kept between starts.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    /// The stored text, or none when the key is missing.
    virtual std::optional<std::string> Read(std::string_view section, std::string_view key) const = 0;
    /// Stores the text; false when the store cannot be written, which callers may ignore.
    virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

/// The stored value as a whole number; `fallback` when it is missing or does not read as a number
/// (blanks around the digits are allowed).
int ReadNumber(const SettingsStore& store, std::string_view section, std::string_view key, int fallback);

} // namespace veltran
