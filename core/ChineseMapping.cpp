#include "ChineseMapping.h"

#include "EmbeddedMappingTables.h"

namespace veltran {

// The tables are part of the program, so setting a chain up only reads their headers.
const ChainMatcher& TraditionalChain()
{
    static const ChainMatcher chain(EmbeddedS2twTables());
    return chain;
}

const ChainMatcher& SimplifiedChain()
{
    static const ChainMatcher chain(EmbeddedT2sTables());
    return chain;
}

const ChainMatcher& TaiwanSimplifiedChain()
{
    static const ChainMatcher chain(EmbeddedTw2sTables());
    return chain;
}

std::u16string ToTraditional(std::u16string_view text)
{
    return TraditionalChain().Convert(text);
}

std::u16string ToSimplified(std::u16string_view text)
{
    return SimplifiedChain().Convert(text);
}

std::u16string TaiwanToSimplified(std::u16string_view text)
{
    return TaiwanSimplifiedChain().Convert(text);
}

bool IsMappingBoundary(char16_t unit)
{
    return TraditionalChain().StandsAlone(unit) && SimplifiedChain().StandsAlone(unit) &&
           TaiwanSimplifiedChain().StandsAlone(unit);
}

} // namespace veltran
