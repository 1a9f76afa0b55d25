#include "PhraseOutputs.h"

#include "ChainMatcher.h"
#include "ChainTablesBuilder.h"
#include "KeptCharacters.h"

#include <stdexcept>
#include <unordered_set>

namespace veltran {
namespace {

// The outputs of the chain's phrases and characters that the chain changes.
std::vector<std::u16string> ChangedOutputs(const ChainDictionaries& chain)
{
    const std::vector<std::byte> tables = ChainTablesBuilder::Build(chain);
    const ChainMatcher matcher(tables);
    std::unordered_set<std::u16string> seen;
    std::vector<std::u16string> changed;
    auto check = [&](const std::u16string& key) {
        std::u16string output = matcher.Convert(key);
        if (matcher.Convert(output) != output && seen.insert(output).second)
            changed.push_back(std::move(output));
    };
    for (const DictionaryEntry& phrase : chain.segmentation)
        check(phrase.key);
    for (const DictionaryGroup& step : chain.steps)
        for (const Dictionary& dictionary : step)
            for (const DictionaryEntry& entry : dictionary)
                if (entry.key.size() == 1)
                    check(entry.key);
    return changed;
}

// Makes the phrase map to itself in the dictionary, in place of any entry it had.
void KeepAsItIs(Dictionary& dictionary, const std::u16string& phrase)
{
    for (DictionaryEntry& entry : dictionary) {
        if (entry.key == phrase) {
            entry.value = phrase;
            return;
        }
    }
    dictionary.push_back({phrase, phrase});
}

} // namespace

void KeepPhraseOutputs(ChainDictionaries& chain)
{
    // A phrase added may cut text into other segments, which could change another output; a second
    // round finds none on OpenCC's dictionaries.
    for (int round = 0; round < 4; ++round) {
        const std::vector<std::u16string> changed = ChangedOutputs(chain);
        if (changed.empty())
            return;
        for (const std::u16string& output : changed) {
            if (output.size() == 1) {
                KeepCharacters(chain, output);
                continue;
            }
            KeepAsItIs(chain.segmentation, output);
            // The first dictionary of each step is consulted first, so the phrase stays as it is there.
            for (DictionaryGroup& step : chain.steps)
                KeepAsItIs(step.front(), output);
        }
    }
    throw std::runtime_error("the phrases of the Chinese mapping do not settle");
}

} // namespace veltran
