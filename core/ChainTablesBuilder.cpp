#include "ChainTablesBuilder.h"

#include "ChainMatcher.h"
#include "PhraseTrieBuilder.h"
#include "StringPoolBuilder.h"
#include "TableBlobWriter.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace veltran {
namespace {

// Adds the characters outside the BMP that the key holds to `held`.
void AddSupplementary(const std::u16string& key, std::vector<std::uint32_t>& held)
{
    for (std::size_t i = 0; i + 1 < key.size(); ++i) {
        if (U16_IS_LEAD(key[i]) && U16_IS_TRAIL(key[i + 1]))
            held.push_back(static_cast<std::uint32_t>(U16_GET_SUPPLEMENTARY(key[i], key[i + 1])));
    }
}

// What one step does to a unit that no key of more than one unit can take in:
// the output of the first dictionary with the unit as a key, or the unit
// itself.
struct StepUnits
{
    std::unordered_map<char16_t, std::u16string> singleUnitOutput;
    std::vector<bool> inLongerKey = std::vector<bool>(PhraseTrie::kRootTableSize, false);
};

// Units that earlier steps may write where the text had others: the units of
// every value that differs from its key. `deletes` tells that some value is
// empty, which joins text that was apart.
struct WrittenUnits
{
    std::vector<bool> units = std::vector<bool>(PhraseTrie::kRootTableSize, false);
    bool deletes = false;
};

void AddWrittenUnits(const DictionaryGroup& group, WrittenUnits& written)
{
    for (const Dictionary& dictionary : group) {
        for (const DictionaryEntry& entry : dictionary) {
            if (entry.value == entry.key) {
                continue;
            }
            written.deletes = written.deletes || entry.value.empty();
            for (const char16_t unit : entry.value) {
                written.units[unit] = true;
            }
        }
    }
}

// A step's longer keys can only take in a unit if they can match where the
// segmentation found no phrase. At such a place no segmentation key is in the
// text, so a step's key that is also a segmentation key can match there only if
// an earlier step wrote one of its units; the others are left out. (The first
// step sees the text as it is, so it leaves out every segmentation key.)
StepUnits CollectStepUnits(const DictionaryGroup& group, const std::unordered_set<std::u16string>& segmentationKeys,
                           const WrittenUnits& earlier)
{
    StepUnits units;
    auto canMatch = [&](const std::u16string& key) {
        if (earlier.deletes || !segmentationKeys.contains(key)) {
            return true;
        }
        for (const char16_t unit : key) {
            if (earlier.units[unit]) {
                return true;
            }
        }
        return false;
    };
    for (const Dictionary& dictionary : group) {
        for (const DictionaryEntry& entry : dictionary) {
            if (entry.key.size() == 1) {
                units.singleUnitOutput.try_emplace(entry.key[0], entry.value);
            } else if (canMatch(entry.key)) {
                for (const char16_t unit : entry.key) {
                    units.inLongerKey[unit] = true;
                }
            }
        }
    }
    return units;
}

// The class word of a fixed output.
std::uint32_t FixedClass(char16_t unit, const std::u16string& output, StringPoolBuilder& pool)
{
    if (output.size() == 1 && output[0] == unit) {
        return ChainMatcher::kCopy;
    }
    if (output.size() == 1) {
        return ChainMatcher::kSingle | output[0];
    }
    const std::uint32_t id = pool.Add(output);
    if (id > ChainMatcher::kPayloadMask) {
        throw std::invalid_argument("the mapping dictionaries are too large");
    }
    return ChainMatcher::kPooled | id;
}

// The class word of a BMP unit outside a phrase (see ChainMatcher).
std::uint32_t ClassifyUnit(char16_t unit, const std::vector<StepUnits>& steps, StringPoolBuilder& pool)
{
    std::u16string current(1, unit);
    for (const StepUnits& step : steps) {
        std::u16string next;
        for (const char16_t u : current) {
            if (step.inLongerKey[u]) {
                return ChainMatcher::kComplex;
            }
            const auto found = step.singleUnitOutput.find(u);
            next += found == step.singleUnitOutput.end() ? std::u16string(1, u) : found->second;
        }
        current = std::move(next);
    }
    return FixedClass(unit, current, pool);
}

void AppendTrie(TableBlobWriter& writer, const PhraseTrieBuilder& trie)
{
    writer.Append<PhraseTrie::Target>(trie.Root());
    writer.Append<PhraseTrie::Edge>(trie.Edges());
    writer.Append<std::uint32_t>(trie.Terminal());
}

} // namespace

std::vector<std::byte> ChainTablesBuilder::Build(const ChainDictionaries& chain)
{
    if (chain.steps.empty()) {
        throw std::invalid_argument("a mapping chain needs at least one conversion step");
    }
    StringPoolBuilder pool;

    std::vector<std::unique_ptr<PhraseTrieBuilder>> stepBuilders;
    std::vector<PhraseTrie> steps;
    for (const DictionaryGroup& group : chain.steps) {
        auto builder = std::make_unique<PhraseTrieBuilder>(static_cast<std::uint32_t>(group.size()));
        for (std::uint32_t d = 0; d < group.size(); ++d) {
            for (const DictionaryEntry& entry : group[d]) {
                builder->Add(d, entry.key, pool.Add(entry.value));
            }
        }
        steps.emplace_back(builder->Finish());
        stepBuilders.push_back(std::move(builder));
    }

    // A phrase of the segmentation is a segment of its own, so its output through
    // all steps is fixed.
    std::vector<std::u16string> phraseOutputs;
    std::u16string scratch[2];
    for (const DictionaryEntry& entry : chain.segmentation) {
        std::u16string output;
        ChainMatcher::ConvertSegment(steps, pool.View(), entry.key, output, scratch);
        phraseOutputs.push_back(std::move(output));
    }
    PhraseTrieBuilder segmentation(1, PhraseTrieBuilder::kFirstLevelByUnit);
    std::unordered_set<std::u16string> segmentationKeys;
    for (std::size_t i = 0; i < chain.segmentation.size(); ++i) {
        segmentation.Add(0, chain.segmentation[i].key, pool.Add(phraseOutputs[i]));
        segmentationKeys.insert(chain.segmentation[i].key);
    }
    segmentation.Finish();

    std::vector<StepUnits> stepUnits;
    WrittenUnits written;
    for (std::size_t i = 0; i < chain.steps.size(); ++i) {
        stepUnits.push_back(CollectStepUnits(chain.steps[i], segmentationKeys, written));
        AddWrittenUnits(chain.steps[i], written);
    }
    std::vector<bool> inAnyStepKey(PhraseTrie::kRootTableSize, false);
    std::vector<std::uint32_t> supplementaryInKeys;
    for (const DictionaryGroup& group : chain.steps) {
        for (const Dictionary& dictionary : group) {
            for (const DictionaryEntry& entry : dictionary) {
                for (const char16_t unit : entry.key) {
                    inAnyStepKey[unit] = true;
                }
                AddSupplementary(entry.key, supplementaryInKeys);
            }
        }
    }
    std::vector<bool> inAnyKey = inAnyStepKey;
    std::vector<std::uint64_t> startFilter((std::size_t{1} << ChainMatcher::kStartFilterBits) / 64);
    for (const DictionaryEntry& entry : chain.segmentation) {
        for (const char16_t unit : entry.key) {
            inAnyKey[unit] = true;
        }
        AddSupplementary(entry.key, supplementaryInKeys);
        const std::u16string& key = entry.key;
        if (key.size() >= 2) {
            const std::size_t bit = key.size() == 2 ? ChainMatcher::PairFilterBit(key[0], key[1])
                                                    : ChainMatcher::TripleFilterBit(key[0], key[1], key[2]);
            startFilter[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
    }
    std::vector<std::uint32_t> unitClass(PhraseTrie::kRootTableSize);
    for (std::size_t u = 0; u < unitClass.size(); ++u) {
        const auto unit = static_cast<char16_t>(u);
        const PhraseTrie::Target& root = segmentation.Root()[u];
        std::uint32_t cls = ChainMatcher::kCopy;
        if (!inAnyKey[u]) {
            cls = ChainMatcher::kStandsAlone;
        } else if ((root.link >> PhraseTrie::kDictionaryShift & PhraseTrie::kDictionaryMask) != 0) {
            // A phrase of one unit: wherever no longer phrase starts, the unit is
            // that phrase.
            cls = FixedClass(unit, std::u16string(pool.View().At(root.output)), pool);
        } else if (!U16_IS_SURROGATE(unit)) {
            cls = ClassifyUnit(unit, stepUnits, pool);
        } else if (U16_IS_LEAD(unit) && inAnyStepKey[u]) {
            // Characters outside the BMP that a step knows go through the steps in
            // full.
            cls = ChainMatcher::kComplex;
        }
        if ((root.link & PhraseTrie::kHasChildren) != 0) {
            cls |= ChainMatcher::kStartsPhrase;
        }
        unitClass[u] = cls;
    }
    // A phrase of units that each stay as they are may still change them as a whole; it cannot match
    // text that lacks any one of its units. The unit marked is the first one it changes, since that is
    // the one text already in the chain's target forms seldom holds (瞭 in 一目瞭然 for Simplified).
    for (std::size_t i = 0; i < chain.segmentation.size(); ++i) {
        const std::u16string& key = chain.segmentation[i].key;
        const std::u16string& output = phraseOutputs[i];
        const bool unitsStay = std::all_of(key.begin(), key.end(), [&unitClass](char16_t unit) {
            return (unitClass[unit] & ChainMatcher::kKindMask) == ChainMatcher::kCopy;
        });
        if (key.size() < 2 || !unitsStay || output == key)
            continue;
        const std::size_t shared = std::min(key.size(), output.size());
        const std::size_t changed = static_cast<std::size_t>(
            std::mismatch(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(shared), output.begin()).first -
            key.begin());
        unitClass[key[std::min(changed, key.size() - 1)]] |= ChainMatcher::kInChangingPhrase;
    }

    // ChainMatcher reads the arrays in this order.
    TableBlobWriter writer;
    std::vector<std::uint32_t> dictionaryCounts{1};
    for (const DictionaryGroup& group : chain.steps) {
        dictionaryCounts.push_back(static_cast<std::uint32_t>(group.size()));
    }
    writer.Append<std::uint32_t>(dictionaryCounts);
    writer.Append<std::uint32_t>(unitClass);
    writer.Append<std::uint64_t>(startFilter);
    std::sort(supplementaryInKeys.begin(), supplementaryInKeys.end());
    supplementaryInKeys.erase(std::unique(supplementaryInKeys.begin(), supplementaryInKeys.end()),
                              supplementaryInKeys.end());
    writer.Append<std::uint32_t>(supplementaryInKeys);
    writer.Append<char16_t>(pool.Units());
    writer.Append<std::uint32_t>(pool.Offsets());
    AppendTrie(writer, segmentation);
    for (const auto& builder : stepBuilders) {
        AppendTrie(writer, *builder);
    }
    return writer.Bytes();
}

} // namespace veltran
