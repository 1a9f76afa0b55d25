#include "ChineseMapping.h"

#include "EmbeddedMappingTables.h"

namespace veltran {

// The tables are part of the program, so setting a chain up only reads their headers.
const ChineseMapper& TraditionalChain()
{
    static const ChineseMapper chain(EmbeddedS2twTables(), false);
    return chain;
}

const ChineseMapper& SimplifiedChain()
{
    static const ChineseMapper chain(EmbeddedT2sTables(), true);
    return chain;
}

const ChineseMapper& TaiwanSimplifiedChain()
{
    static const ChineseMapper chain(EmbeddedTw2sTables(), false);
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
