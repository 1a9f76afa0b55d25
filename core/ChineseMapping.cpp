#include "ChineseMapping.h"

#include "ChainMatcher.h"
#include "EmbeddedMappingTables.h"

namespace veltran {

// The tables are part of the program, so setting a matcher up only reads their
// headers.
std::u16string ToTraditional(std::u16string_view text)
{
    static const ChainMatcher matcher(EmbeddedS2twTables());
    return matcher.Convert(text);
}

std::u16string ToSimplified(std::u16string_view text)
{
    static const ChainMatcher matcher(EmbeddedTw2sTables());
    return matcher.Convert(text);
}

} // namespace veltran
