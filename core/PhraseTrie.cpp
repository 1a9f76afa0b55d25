#include "PhraseTrie.h"

#include <array>
#include <bit>
#include <stdexcept>

namespace veltran {

PhraseTrie::PhraseTrie(const Layout& layout) : m_layout(layout)
{
    const std::size_t edgeCount = layout.edges.size();
    const bool fits = layout.root.size() == kRootTableSize && layout.dictionaryCount >= 1 &&
                      layout.dictionaryCount <= kMaxDictionaries && edgeCount >= 2 &&
                      (edgeCount & (edgeCount - 1)) == 0 && layout.terminal.size() % layout.dictionaryCount == 0;
    if (!fits) {
        throw std::runtime_error("the Chinese mapping tables are damaged");
    }
}

const PhraseTrie::Target* PhraseTrie::Child(std::uint32_t node, char16_t unit, std::uint64_t keyHash) const
{
    const std::size_t mask = m_layout.edges.size() - 1;
    for (std::size_t slot = EdgeSlot(keyHash, m_layout.edges.size());; slot = (slot + 1) & mask) {
        const Edge& edge = m_layout.edges[slot];
        if (edge.parent == node && edge.unit == unit) {
            return &edge.target;
        }
        if (edge.parent == kEmptyEdge) {
            return nullptr;
        }
    }
}

PhraseTrie::Match PhraseTrie::Longest(const char16_t* text, const char16_t* end) const
{
    if (text == end || m_layout.root.empty()) {
        return {};
    }
    const Target* target = &m_layout.root[*text];
    if (target->link == 0) {
        return {};
    }
    const std::uint32_t dictionaries = m_layout.dictionaryCount;
    if (dictionaries == 1) {
        // The segmentation's case, and the common one: the longest key wins.
        Match longest;
        std::uint64_t keyHash = ExtendHash(kEmptyKeyHash, *text);
        for (std::uint32_t depth = 1;; ++depth) {
            const std::uint32_t link = target->link;
            if ((link >> kDictionaryShift & kDictionaryMask) != 0) {
                longest = {depth, target->output};
            }
            if ((link & kHasChildren) == 0 || text + depth == end) {
                return longest;
            }
            keyHash = ExtendHash(keyHash, text[depth]);
            target = Child(link & kNodeMask, text[depth], keyHash);
            if (target == nullptr) {
                return longest;
            }
        }
    }
    std::array<Match, kMaxDictionaries> best{};
    std::uint32_t depth = 1;
    std::uint64_t keyHash = ExtendHash(kEmptyKeyHash, *text);
    while (true) {
        const std::uint32_t link = target->link;
        const std::uint32_t node = link & kNodeMask;
        std::uint32_t ending = (link >> kDictionaryShift) & kDictionaryMask;
        if (ending != 0) {
            const auto first = static_cast<std::uint32_t>(std::countr_zero(ending));
            best[first] = {depth, target->output};
            ending &= ending - 1;
            for (std::uint32_t d = first + 1; ending != 0; ++d) {
                if ((ending & (1u << d)) != 0) {
                    best[d] = {depth, m_layout.terminal[std::size_t{node} * dictionaries + d]};
                    ending &= ~(1u << d);
                }
            }
        }
        if ((link & kHasChildren) == 0 || text + depth == end) {
            break;
        }
        keyHash = ExtendHash(keyHash, text[depth]);
        target = Child(node, text[depth], keyHash);
        if (target == nullptr) {
            break;
        }
        ++depth;
    }
    for (std::uint32_t d = 0; d < dictionaries; ++d) {
        if (best[d].length != 0) {
            return best[d];
        }
    }
    return {};
}

PhraseTrie::Match PhraseTrie::LongestOfTwoOrMore(const char16_t* text, const char16_t* end) const
{
    // The first steps' slots are asked for together: each step would otherwise
    // wait for the one before to come from memory.
    constexpr std::ptrdiff_t kStepsAhead = 3;
    std::uint64_t keyHash = ExtendHash(kEmptyKeyHash, text[0]);
    std::uint64_t aheadHash = keyHash;
    for (const char16_t* step = text + 1; step < end && step - text <= kStepsAhead; ++step) {
        aheadHash = ExtendHash(aheadHash, *step);
        __builtin_prefetch(&m_layout.edges[EdgeSlot(aheadHash, m_layout.edges.size())]);
    }
    Match longest;
    std::uint32_t node = std::uint32_t{text[0]} + 1;
    for (std::uint32_t depth = 1; text + depth < end; ++depth) {
        keyHash = ExtendHash(keyHash, text[depth]);
        const Target* target = Child(node, text[depth], keyHash);
        if (target == nullptr) {
            break;
        }
        const std::uint32_t link = target->link;
        if ((link >> kDictionaryShift & kDictionaryMask) != 0) {
            longest = {depth + 1, target->output};
        }
        if ((link & kHasChildren) == 0) {
            break;
        }
        node = link & kNodeMask;
    }
    return longest;
}

void PhraseTrie::Convert(std::u16string_view text, const StringPool& pool, std::u16string& out) const
{
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    while (p < end) {
        const Match match = Longest(p, end);
        if (match.length == 0) {
            out.push_back(*p++);
            continue;
        }
        out.append(pool.At(match.output));
        p += match.length;
    }
}

} // namespace veltran
