#include "EncodingId.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace veltran {
namespace {

constexpr std::array<std::string_view, 5> kGbAliases{"gbk", "gb2312", "cp936", "euc-cn", "windows-936"};
constexpr std::array<std::string_view, 2> kBig5Aliases{"cp950", "windows-950"};
constexpr std::array<std::string_view, 1> kUtf8Aliases{"utf-8"};
constexpr std::array<std::string_view, 1> kGb18030Aliases{"gb-18030"};

constexpr std::array<EncodingSpelling, 4> kSpellings{{
    {EncodingId::Gb, "gb", kGbAliases},
    {EncodingId::Big5, "big5", kBig5Aliases},
    {EncodingId::Utf8, "utf8", kUtf8Aliases},
    {EncodingId::Gb18030, "gb18030", kGb18030Aliases},
}};

} // namespace

std::string_view EncodingName(EncodingId id)
{
    switch (id) {
    case EncodingId::Gb:
        return "GB";
    case EncodingId::Big5:
        return "BIG5";
    case EncodingId::Utf8:
        return "UTF-8";
    case EncodingId::Gb18030:
        return "GB18030";
    }
    return "";
}

EncodingId EncodingFamily(EncodingId id)
{
    return id == EncodingId::Gb18030 ? EncodingId::Gb : id;
}

bool HoldsAllUnicode(EncodingId id)
{
    return id == EncodingId::Utf8 || id == EncodingId::Gb18030;
}

std::span<const EncodingSpelling> EncodingSpellings()
{
    return kSpellings;
}

std::optional<EncodingId> ParseEncoding(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const EncodingSpelling& spelling : kSpellings) {
        if (spelling.name == lower ||
            std::find(spelling.aliases.begin(), spelling.aliases.end(), lower) != spelling.aliases.end())
            return spelling.id;
    }
    return std::nullopt;
}

} // namespace veltran
