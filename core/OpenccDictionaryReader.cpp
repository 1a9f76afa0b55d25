#include "OpenccDictionaryReader.h"

#include <Config.hpp>
#include <Conversion.hpp>
#include <ConversionChain.hpp>
#include <Converter.hpp>
#include <DictGroup.hpp>
#include <Lexicon.hpp>
#include <MaxMatchSegmentation.hpp>
#include <unicode/ustring.h>

#include <stdexcept>

namespace veltran {
namespace {

std::u16string FromUtf8(const std::string& text)
{
    std::u16string out(text.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length, text.data(),
                  static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("a Chinese mapping dictionary holds malformed text");
    }
    out.resize(static_cast<std::size_t>(length));
    return out;
}

Dictionary ReadDictionary(const opencc::Dict& dict)
{
    Dictionary dictionary;
    for (const auto& entry : *dict.GetLexicon()) {
        dictionary.push_back({FromUtf8(entry->Key()), FromUtf8(entry->GetDefault())});
    }
    return dictionary;
}

// A group's dictionaries in the order the group consults them; a plain
// dictionary is a group of one.
DictionaryGroup ReadGroup(const opencc::DictPtr& dict)
{
    DictionaryGroup group;
    if (const auto nested = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
        for (const opencc::DictPtr& member : nested->GetDicts()) {
            if (std::dynamic_pointer_cast<opencc::DictGroup>(member)) {
                throw std::runtime_error("nested dictionary groups are not supported");
            }
            group.push_back(ReadDictionary(*member));
        }
    } else {
        group.push_back(ReadDictionary(*dict));
    }
    return group;
}

ChainDictionaries ReadChain(const opencc::ConverterPtr& converter)
{
    const auto segmentation = std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter->GetSegmentation());
    if (!segmentation) {
        throw std::runtime_error("the Chinese mapping needs a longest-match segmentation");
    }
    ChainDictionaries chain;
    const DictionaryGroup segmentationGroup = ReadGroup(segmentation->GetDict());
    if (segmentationGroup.size() != 1) {
        throw std::runtime_error("the segmentation of the Chinese mapping must use one dictionary");
    }
    chain.segmentation = segmentationGroup.front();
    for (const opencc::ConversionPtr& conversion : converter->GetConversionChain()->GetConversions()) {
        chain.steps.push_back(ReadGroup(conversion->GetDict()));
    }
    return chain;
}

} // namespace

ChainDictionaries OpenccDictionaryReader::FromFile(const std::string& configPath)
{
    try {
        opencc::Config config;
        return ReadChain(config.NewFromFile(configPath));
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot read the Chinese mapping dictionaries of " + configPath + ": " + e.what());
    }
}

ChainDictionaries OpenccDictionaryReader::FromJson(const std::string& json, const std::string& directory)
{
    try {
        opencc::Config config;
        return ReadChain(config.NewFromString(json, directory));
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("cannot read the Chinese mapping dictionaries: ") + e.what());
    }
}

} // namespace veltran
