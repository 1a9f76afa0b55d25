#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace veltran {

/// The Chinese mapping chains, in the order their tables stand in the tables file.
enum class MappingChainId : std::uint32_t
{
    Traditional = 0,         // Simplified to Taiwan-standard Traditional (OpenCC's s2tw)
    Simplified = 1,          // Traditional to Simplified, phrases' outputs kept (OpenCC's t2s)
    TaiwanSimplified = 2,    // Taiwan Traditional to Simplified (OpenCC's tw2s, some variants kept)
    StandardTraditional = 3, // Simplified to OpenCC's standard Traditional (OpenCC's s2t)
};
inline constexpr std::size_t kMappingChainCount = 4;

/// The layout of the tables file: a header, one entry per chain, then each chain's tables (a
/// TableBlobWriter blob) at its offset, aligned to kMappingTablesAlignment. Numbers are in the byte
/// order of the machine that made the file, which kByteOrderMark tells.
inline constexpr std::string_view kMappingTablesMagic{"VLTTABLE", 8};
// 2: the unit classes mark a unit of each phrase that changes units which each stay as they are.
// 3: the phrase filter holds longer phrases by their first three units, and a trie link's slot is a
//    hash of the key it spells.
// 4: each chain lists the characters outside the BMP that its keys hold.
inline constexpr std::uint32_t kMappingTablesVersion = 4;
inline constexpr std::uint32_t kByteOrderMark = 0x01020304;
inline constexpr std::size_t kMappingTablesAlignment = 16;

struct MappingTablesEntry
{
    std::uint64_t offset = 0; // from the start of the file
    std::uint64_t size = 0;
    std::array<std::uint8_t, 32> sha256{}; // of the tables' bytes
};

struct MappingTablesHeader
{
    std::array<char, 8> magic{};
    std::uint32_t version = kMappingTablesVersion;
    std::uint32_t byteOrder = kByteOrderMark;
    std::uint32_t chainCount = kMappingChainCount;
    std::uint32_t reserved = 0;
    std::array<MappingTablesEntry, kMappingChainCount> chains{};
};

} // namespace veltran
