#pragma once

#include "StringPool.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltran {

/// Read-only trie over UTF-16 keys of a group of dictionaries, kept in flat
/// arrays so that it can live in tables generated at build time. Node 0 is the
/// root. A link names a node (low 23 bits), the dictionaries that have the key
/// ending at that node (8 bits) and whether the node has children (top bit).
/// The output of the key in dictionary d is terminal[node * dictionaryCount +
/// d]; the output of the first of those dictionaries also travels with the
/// link, which saves a memory access per match. The links below the root sit in
/// an open-addressing hash table keyed by parent node and unit, so each step
/// down costs one probe. A link's first slot is a hash of the whole key it
/// spells, not of its parent node: a walk down the text knows the slots of every
/// step before it reads any, so it can ask for them all at once.
class PhraseTrie
{
public:
    static constexpr std::uint32_t kNoOutput = 0xFFFFFFFFu;
    static constexpr std::uint32_t kMaxDictionaries = 8;
    static constexpr std::uint32_t kNodeMask = 0x007FFFFFu;
    static constexpr std::uint32_t kDictionaryShift = 23;
    static constexpr std::uint32_t kDictionaryMask = 0xFFu;
    static constexpr std::uint32_t kHasChildren = 1u << 31;
    static constexpr std::uint32_t kEmptyEdge = 0xFFFFFFFFu;
    static constexpr std::size_t kRootTableSize = 0x10000;

    /// A link with the output of the first dictionary it ends a key of.
    struct Target
    {
        std::uint32_t link = 0;
        std::uint32_t output = kNoOutput;
    };

    struct Edge
    {
        std::uint32_t parent = kEmptyEdge;
        Target target;
        char16_t unit = 0;
        std::uint16_t reserved = 0;
    };

    struct Layout
    {
        std::span<const Target> root; // kRootTableSize targets, link 0 where no key
                                      // starts with the unit
        std::span<const Edge> edges;  // a power of two in size, at most half full
        std::span<const std::uint32_t> terminal;
        std::uint32_t dictionaryCount = 1;
    };

    struct Match
    {
        std::uint32_t length = 0; // in code units; 0 when nothing matched
        std::uint32_t output = 0;
    };

    PhraseTrie() = default;
    /// Takes the arrays as they are; throws std::runtime_error when their sizes
    /// do not fit together.
    explicit PhraseTrie(const Layout& layout);

    /// The hash of a key that is the key of `prefixHash` and `unit`; the empty
    /// key's hash is kEmptyKeyHash.
    static constexpr std::uint64_t kEmptyKeyHash = 0;
    static std::uint64_t ExtendHash(std::uint64_t prefixHash, char16_t unit)
    {
        const std::uint64_t mixed = (prefixHash + unit + 1) * 0x9E3779B97F4A7C15ull;
        return mixed ^ (mixed >> 29);
    }

    /// Slot of the hash table where the edge that ends the key of `keyHash` is
    /// looked for first.
    static std::size_t EdgeSlot(std::uint64_t keyHash, std::size_t tableSize)
    {
        return static_cast<std::size_t>(keyHash >> 17) & (tableSize - 1);
    }

    /// The match of the group at `text`: the longest key of the first dictionary
    /// that has any key that is a prefix of the units from `text` to `end`.
    /// Length 0 when none has, or text == end.
    Match Longest(const char16_t* text, const char16_t* end) const;

    /// For a trie of one dictionary whose first-level nodes are numbered by their
    /// unit (PhraseTrieBuilder::kFirstLevelByUnit), when some key of two or more
    /// units starts with text[0] and text + 1 < end: the longest such key that is
    /// a prefix of the text, or length 0. Keys of one unit are not looked at.
    Match LongestOfTwoOrMore(const char16_t* text, const char16_t* end) const;

    /// Rewrites `text` left to right: at each position the group's match is
    /// replaced by its output, an unmatched unit is copied. Appends to `out`.
    void Convert(std::u16string_view text, const StringPool& pool, std::u16string& out) const;

private:
    // The edge from `node` by `unit`, whose key hashes to `keyHash`.
    const Target* Child(std::uint32_t node, char16_t unit, std::uint64_t keyHash) const;

    Layout m_layout;
};

} // namespace veltran
