// What the conversions do to the characters of real pages that Debian packages (the Chinese manual
// pages and the reference manual; install manpages-zh, debian-reference-zh-cn and -zh-tw): how many
// characters each direction changes in text that is already what the target wants, and where BIG5
// to GB differs from OpenCC's tw2s chain, character by character.

#include "DebianChineseText.h"
#include "FileBytesConversion.h"
#include "OpenccConverter.h"
#include "TextCodecs.h"

#include <unicode/unistr.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace {

using namespace veltran;
using test::ChineseText;

std::string Utf8(char16_t unit)
{
    std::string out;
    icu::UnicodeString(static_cast<UChar>(unit)).toUTF8String(out);
    return out;
}

using Changes = std::map<std::pair<char16_t, char16_t>, std::size_t>;

void Tell(const char* what, const Changes& changes, std::size_t pages, std::size_t changedPages)
{
    std::size_t total = 0;
    for (const auto& [pair, count] : changes)
        total += count;
    std::printf("%-58s %6zu characters changed in %zu of %zu pages", what, total, changedPages, pages);
    int shown = 0;
    for (const auto& [pair, count] : changes)
        if (shown++ < 12)
            std::printf("%s %s>%s %zu", shown == 1 ? ":" : ",", Utf8(pair.first).c_str(), Utf8(pair.second).c_str(),
                        count);
    std::printf("\n");
}

// Counts, unit by unit, where `after` differs from `before`; a page whose length changed counts once.
bool Compare(std::u16string_view before, std::u16string_view after, Changes& changes)
{
    if (before.size() != after.size()) {
        ++changes[{u'?', u'?'}];
        return true;
    }
    bool changed = false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            ++changes[{before[i], after[i]}];
            changed = true;
        }
    }
    return changed;
}

void MeasureConversion(const char* what, ChineseText text, EncodingId source, EncodingId target)
{
    const std::vector<test::RealPage> pages = test::DebianPages(text);
    TextOptions options;
    options.source = source;
    options.target = target;
    Changes changes;
    std::size_t changedPages = 0;
    for (const test::RealPage& page : pages) {
        const Bytes bytes = Encode(source, page.text);
        const Result<ByteBuffer> converted = ConvertFileBytes(bytes, options, RuleTable());
        if (!converted) {
            std::printf("%s: %s\n", page.name.c_str(), converted.status().message.c_str());
            continue;
        }
        const std::u16string held = *Decode(target, Encode(target, *Decode(source, bytes)));
        changedPages += Compare(held, *Decode(target, *converted), changes);
    }
    Tell(what, changes, pages.size(), changedPages);
}

void MeasureAgainstTw2s()
{
    const std::vector<test::RealPage> pages = test::DebianPages(ChineseText::Traditional);
    const OpenccConverter tw2s(std::string(kOpenccDataDir) + kTw2sConfig);
    TextOptions options;
    options.source = EncodingId::Big5;
    options.target = EncodingId::Gb;
    Changes changes;
    std::size_t changedPages = 0;
    for (const test::RealPage& page : pages) {
        const Bytes bytes = Encode(EncodingId::Big5, page.text);
        const std::u16string read = *Decode(EncodingId::Big5, bytes);
        const std::u16string theirs = *Decode(EncodingId::Gb, Encode(EncodingId::Gb, tw2s.Convert(read)));
        const std::u16string ours = *Decode(EncodingId::Gb, *ConvertFileBytes(bytes, options, RuleTable()));
        changedPages += Compare(theirs, ours, changes);
    }
    Tell("BIG5 to GB against OpenCC's tw2s (tw2s>ours)", changes, pages.size(), changedPages);
}

} // namespace

int main()
{
    MeasureConversion("Simplified pages, GB to UTF-8", ChineseText::Simplified, EncodingId::Gb, EncodingId::Utf8);
    MeasureConversion("Simplified pages, UTF-8 to UTF-8", ChineseText::Simplified, EncodingId::Utf8, EncodingId::Utf8);
    MeasureConversion("Simplified pages, UTF-8 to GB", ChineseText::Simplified, EncodingId::Utf8, EncodingId::Gb);
    MeasureConversion("Traditional pages, BIG5 to UTF-8", ChineseText::Traditional, EncodingId::Big5, EncodingId::Utf8);
    MeasureConversion("Traditional pages, UTF-8 to BIG5 (through Simplified forms)", ChineseText::Traditional,
                      EncodingId::Utf8, EncodingId::Big5);
    MeasureAgainstTw2s();
    return 0;
}
