#include "ChineseMapping.h"

#include "MappingTablesFile.h"

#include <stdexcept>

namespace veltran {
namespace {

// The tables are mapped from their file, so setting a chain up only reads their headers.
std::span<const std::byte> TablesOf(MappingChainId chain)
{
    const Result<const MappingTablesFile*> tables = LoadMappingTables();
    if (!tables)
        throw std::runtime_error(tables.status().message);
    return (*tables)->Chain(chain);
}

} // namespace

const ChineseMapper& TraditionalChain()
{
    static const ChineseMapper chain(TablesOf(MappingChainId::Traditional), false);
    return chain;
}

const ChineseMapper& StandardTraditionalChain()
{
    static const ChineseMapper chain(TablesOf(MappingChainId::StandardTraditional), false);
    return chain;
}

const ChineseMapper& SimplifiedChain()
{
    static const ChineseMapper chain(TablesOf(MappingChainId::Simplified), true);
    return chain;
}

const ChineseMapper& TaiwanSimplifiedChain()
{
    static const ChineseMapper chain(TablesOf(MappingChainId::TaiwanSimplified), false);
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
           TaiwanSimplifiedChain().StandsAlone(unit) && StandardTraditionalChain().StandsAlone(unit);
}

} // namespace veltran
