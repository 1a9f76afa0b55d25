#include "PhraseTrieBuilder.h"

#include <stdexcept>

namespace veltran {

PhraseTrieBuilder::PhraseTrieBuilder(std::uint32_t dictionaryCount, bool firstLevelByUnit)
    : m_dictionaryCount(dictionaryCount), m_root(PhraseTrie::kRootTableSize),
      m_terminal(dictionaryCount, PhraseTrie::kNoOutput), m_firstLevelByUnit(firstLevelByUnit)
{
    if (dictionaryCount == 0 || dictionaryCount > PhraseTrie::kMaxDictionaries) {
        throw std::invalid_argument("a conversion step has too many or no dictionaries");
    }
    // The edge table doubles as the lookup structure while keys are added.
    m_edges.resize(1024);
    if (firstLevelByUnit) {
        m_nodeCount = static_cast<std::uint32_t>(PhraseTrie::kRootTableSize) + 1;
        m_terminal.resize(std::size_t{m_nodeCount} * m_dictionaryCount, PhraseTrie::kNoOutput);
        m_hasChildren.resize(m_nodeCount, false);
        m_keyHashes.resize(m_nodeCount);
    }
}

std::uint32_t PhraseTrieBuilder::ChildOf(std::uint32_t node, char16_t unit)
{
    if (node == 0 && m_root[unit].link != 0) {
        return m_root[unit].link;
    }
    const std::size_t mask = m_edges.size() - 1;
    const std::uint64_t keyHash = PhraseTrie::ExtendHash(m_keyHashes[node], unit);
    std::size_t slot = PhraseTrie::EdgeSlot(keyHash, m_edges.size());
    if (node != 0) {
        for (;; slot = (slot + 1) & mask) {
            if (m_edges[slot].parent == node && m_edges[slot].unit == unit) {
                return m_edges[slot].target.link;
            }
            if (m_edges[slot].parent == PhraseTrie::kEmptyEdge) {
                break;
            }
        }
    }
    if (m_nodeCount > PhraseTrie::kNodeMask) {
        throw std::invalid_argument("the mapping dictionaries are too large");
    }
    m_hasChildren[node] = true;
    if (node == 0 && m_firstLevelByUnit) {
        m_root[unit].link = std::uint32_t{unit} + 1;
        m_keyHashes[unit + 1] = keyHash;
        return m_root[unit].link;
    }
    const std::uint32_t child = m_nodeCount++;
    m_terminal.resize(std::size_t{m_nodeCount} * m_dictionaryCount, PhraseTrie::kNoOutput);
    m_hasChildren.push_back(false);
    m_keyHashes.push_back(keyHash);
    if (node == 0) {
        m_root[unit].link = child;
        return child;
    }
    m_pending.push_back({node, unit, child});
    m_edges[slot] = {node, {child, PhraseTrie::kNoOutput}, unit, 0};
    if (m_pending.size() * 2 > m_edges.size()) {
        m_edges.assign(m_edges.size() * 2, PhraseTrie::Edge{});
        for (const PendingEdge& edge : m_pending) {
            std::size_t s = PhraseTrie::EdgeSlot(m_keyHashes[edge.child], m_edges.size());
            while (m_edges[s].parent != PhraseTrie::kEmptyEdge) {
                s = (s + 1) & (m_edges.size() - 1);
            }
            m_edges[s] = {edge.parent, {edge.child, PhraseTrie::kNoOutput}, edge.unit, 0};
        }
    }
    return child;
}

void PhraseTrieBuilder::Add(std::uint32_t dictionary, std::u16string_view key, std::uint32_t output)
{
    if (key.empty() || dictionary >= m_dictionaryCount) {
        throw std::invalid_argument("empty dictionary key");
    }
    std::uint32_t node = 0;
    for (const char16_t unit : key) {
        node = ChildOf(node, unit) & PhraseTrie::kNodeMask;
    }
    std::uint32_t& terminal = m_terminal[std::size_t{node} * m_dictionaryCount + dictionary];
    if (terminal == PhraseTrie::kNoOutput) {
        terminal = output;
    }
}

PhraseTrie::Target PhraseTrieBuilder::TargetOf(std::uint32_t node) const
{
    PhraseTrie::Target target{node, PhraseTrie::kNoOutput};
    for (std::uint32_t d = 0; d < m_dictionaryCount; ++d) {
        const std::uint32_t output = m_terminal[std::size_t{node} * m_dictionaryCount + d];
        if (output == PhraseTrie::kNoOutput) {
            continue;
        }
        if (target.output == PhraseTrie::kNoOutput) {
            target.output = output;
        }
        target.link |= 1u << (PhraseTrie::kDictionaryShift + d);
    }
    if (m_hasChildren[node]) {
        target.link |= PhraseTrie::kHasChildren;
    }
    return target;
}

PhraseTrie::Layout PhraseTrieBuilder::Finish()
{
    // Links carry the dictionaries a key ends in, which is known only once every
    // key is in.
    for (PhraseTrie::Target& target : m_root) {
        if (target.link != 0) {
            target = TargetOf(target.link & PhraseTrie::kNodeMask);
        }
    }
    for (PhraseTrie::Edge& edge : m_edges) {
        if (edge.parent != PhraseTrie::kEmptyEdge) {
            edge.target = TargetOf(edge.target.link & PhraseTrie::kNodeMask);
        }
    }
    return {m_root, m_edges, m_terminal, m_dictionaryCount};
}

} // namespace veltran
