#include "ConversionOptions.h"

#include <array>

namespace veltran {
namespace {

constexpr std::array<std::string_view, 5> kNames{"implied", "keep", "simplified", "traditional", "taiwan"};

} // namespace

std::string_view ChineseFormsName(ChineseForms forms)
{
    return kNames[static_cast<std::size_t>(forms)];
}

std::optional<ChineseForms> ParseChineseForms(std::string_view text)
{
    for (std::size_t i = 1; i < kNames.size(); ++i) {
        if (kNames[i] == text)
            return static_cast<ChineseForms>(i);
    }
    return std::nullopt;
}

} // namespace veltran
