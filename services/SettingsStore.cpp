#include "SettingsStore.h"

#include <charconv>

namespace veltran {

int ReadNumber(const SettingsStore& store, std::string_view section, std::string_view key, int fallback)
{
    const std::optional<std::string> stored = store.Read(section, key);
    if (!stored)
        return fallback;
    std::string_view text = *stored;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? value : fallback;
}

} // namespace veltran
