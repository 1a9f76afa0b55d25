// Fuzzes the file-name pattern matcher with a pattern and a name. Properties: matching the name and
// matching its upper-case code points agree; a pattern that spells the name out (its *, ?, # and [
// each in brackets) matches it, as "*" does; a star put in front of a matching pattern keeps it matching.
#include "FuzzCheck.h"
#include "WildcardPattern.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace veltran;

namespace {

constexpr std::size_t kMaxLength = 200;

std::string SpelledOut(const std::string& name)
{
    std::string pattern;
    for (const char c : name) {
        if (c == '*' || c == '?' || c == '#' || c == '[')
            pattern += std::string("[") + c + "]";
        else
            pattern += c;
    }
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string patternText = input.ConsumeRandomLengthString(kMaxLength);
    const std::string name = input.ConsumeRandomLengthString(kMaxLength);

    const WildcardPattern pattern(patternText);
    const bool matches = pattern.Matches(name);
    FUZZ_CHECK(matches == pattern.MatchesUpper(WildcardPattern::UpperCodePoints(name)));
    FUZZ_CHECK(WildcardPattern(SpelledOut(name)).Matches(name));
    FUZZ_CHECK(WildcardPattern("*").Matches(name));
    if (matches)
        FUZZ_CHECK(WildcardPattern("*" + patternText).Matches(name));
    return 0;
}
