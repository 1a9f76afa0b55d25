#include "KeptCharacters.h"

#include <algorithm>

namespace veltran {

void KeepCharacters(ChainDictionaries& chain, std::u16string_view characters)
{
    const auto kept = [&](const DictionaryEntry& entry) {
        return entry.key.size() == 1 && characters.find(entry.key[0]) != std::u16string_view::npos;
    };
    std::erase_if(chain.segmentation, kept);
    for (DictionaryGroup& group : chain.steps) {
        for (Dictionary& dictionary : group) {
            std::erase_if(dictionary, kept);
        }
    }
}

} // namespace veltran
