#pragma once

#include "PhraseTrie.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace veltran {

/// Builds the flat arrays of a PhraseTrie from the keys of a group of
/// dictionaries.
class PhraseTrieBuilder
{
public:
    /// First-level nodes numbered by their unit (node = unit + 1), so that a
    /// search can start below the root without reading it.
    static constexpr bool kFirstLevelByUnit = true;

    /// `dictionaryCount` columns of outputs, 1 to PhraseTrie::kMaxDictionaries.
    explicit PhraseTrieBuilder(std::uint32_t dictionaryCount, bool firstLevelByUnit = false);

    /// Adds a non-empty key of the given dictionary with its output id; a key
    /// added twice to the same dictionary keeps its first output.
    void Add(std::uint32_t dictionary, std::u16string_view key, std::uint32_t output);

    /// Lays the trie out; the layout points into this builder, which must outlive
    /// its use and take no more keys.
    PhraseTrie::Layout Finish();

    const std::vector<PhraseTrie::Target>& Root() const { return m_root; }
    const std::vector<PhraseTrie::Edge>& Edges() const { return m_edges; }
    const std::vector<std::uint32_t>& Terminal() const { return m_terminal; }

private:
    struct PendingEdge
    {
        std::uint32_t parent;
        char16_t unit;
        std::uint32_t child;
    };

    std::uint32_t ChildOf(std::uint32_t node, char16_t unit);
    PhraseTrie::Target TargetOf(std::uint32_t node) const;

    std::uint32_t m_dictionaryCount;
    std::uint32_t m_nodeCount = 1;
    std::vector<PhraseTrie::Target> m_root;
    std::vector<bool> m_hasChildren{false};
    std::vector<std::uint64_t> m_keyHashes{PhraseTrie::kEmptyKeyHash}; // of each node's key
    std::vector<PendingEdge> m_pending;
    std::vector<PhraseTrie::Edge> m_edges;
    std::vector<std::uint32_t> m_terminal;
    bool m_firstLevelByUnit;
};

} // namespace veltran
