#include "LinkTargets.h"
#include "ChineseMapping.h"
#include "CodePage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace veltran {
namespace {

// Link targets are found the same in a page given whole, where ordinary text is skipped up to the
// next quote, and given one ASCII unit at a time, where every unit is looked at: random texts of
// attributes, quotes, schemes, brackets, spaces and Chinese (cut only after ASCII units, which no
// phrase reaches across), with the links keeping every character and only what BIG5 holds.
TEST(LinkTargetsTest, PageWholeAndUnitByUnitFindTheSameTargets)
{
    const std::u16string fragments[] = {u"href=", u"HREF = ", u"src=", u"\"",   u"'",   u"http://", u"ftp:/",
                                        u"<",     u">",       u"\n",   u" ",    u"abc", u"x:",      u"//",
                                        u"说明",  u"图书",    u"頭髮", u"头发", u"=",   u"ｈ",      u"\t"};
    std::mt19937 random(22);
    for (const CodePage* keeps : {static_cast<const CodePage*>(nullptr), &CodePage::Of(EncodingId::Big5)}) {
        for (int trial = 0; trial < 300; ++trial) {
            std::u16string text;
            for (int i = 0; i < 60; ++i)
                text += fragments[random() % std::size(fragments)];

            std::u16string pieces;
            LinkTargets links(keeps);
            std::size_t start = 0;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] < 0x80) {
                    links.Map(TraditionalChain(), std::u16string_view(text).substr(start, i + 1 - start), pieces);
                    start = i + 1;
                }
            }
            links.Map(TraditionalChain(), std::u16string_view(text).substr(start), pieces);
            ASSERT_EQ(LinkTargets::MapOutside(TraditionalChain(), text, keeps), pieces) << trial;
        }
    }
}

} // namespace
} // namespace veltran
