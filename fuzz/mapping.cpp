// Fuzzes the Chinese mapping on any UTF-16 text (the input's bytes taken two at a time, little-endian):
// nothing throws; every chain keeps the number of characters (each dictionary value has as many as
// its key, which keeping the text the rules left alone relies on); the Simplified mapping of its own
// output changes nothing; and rules that change nothing give Traditional text back as it was.
#include "ChineseMapping.h"
#include "FuzzCheck.h"
#include "UntouchedText.h"

#include <unicode/ustring.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace veltran;

namespace {

std::int32_t CodePoints(const std::u16string& text)
{
    return u_countChar32(reinterpret_cast<const UChar*>(text.data()), static_cast<std::int32_t>(text.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    const std::u16string simplified = ToSimplified(text);
    const std::u16string taiwan = TaiwanToSimplified(text);
    const std::u16string traditional = ToTraditional(text);
    FUZZ_CHECK(CodePoints(simplified) == CodePoints(text));
    FUZZ_CHECK(CodePoints(taiwan) == CodePoints(text));
    FUZZ_CHECK(CodePoints(traditional) == CodePoints(text));
    FUZZ_CHECK(ToSimplified(simplified) == simplified);
    FUZZ_CHECK(TraditionalAfterRules(text, taiwan, taiwan, TraditionalChain(), nullptr) == text);
    return 0;
}
