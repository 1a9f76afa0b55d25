#include "ChineseMapping.h"

#include "ChainMatcher.h"
#include "EmbeddedMappingTables.h"

namespace veltran {
namespace {

// The tables are part of the program, so setting a matcher up only reads their
// headers.
const ChainMatcher& TraditionalMatcher()
{
    static const ChainMatcher matcher(EmbeddedS2twTables());
    return matcher;
}

const ChainMatcher& SimplifiedMatcher()
{
    static const ChainMatcher matcher(EmbeddedTw2sTables());
    return matcher;
}

} // namespace

std::u16string ToTraditional(std::u16string_view text)
{
    return TraditionalMatcher().Convert(text);
}

std::u16string ToSimplified(std::u16string_view text)
{
    return SimplifiedMatcher().Convert(text);
}

void AppendTraditional(std::u16string_view text, std::u16string& out)
{
    TraditionalMatcher().Append(text, out);
}

void AppendSimplified(std::u16string_view text, std::u16string& out)
{
    SimplifiedMatcher().Append(text, out);
}

bool IsMappingBoundary(char16_t unit)
{
    return TraditionalMatcher().StandsAlone(unit) && SimplifiedMatcher().StandsAlone(unit);
}

} // namespace veltran
