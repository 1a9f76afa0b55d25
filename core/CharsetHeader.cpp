#include "CharsetHeader.h"

#include "Product.h"
#include "TextCodecs.h"

namespace veltran {

namespace {

struct CharsetNames
{
    std::u16string_view codePage;
    std::u16string_view charset;
};

CharsetNames NamesFor(EncodingId target)
{
    switch (target) {
    case EncodingId::Gb:
        return {u"936", u"GB2312"};
    case EncodingId::Big5:
        return {u"950", u"BIG5"};
    case EncodingId::Gb18030:
        return {u"54936", u"GB18030"};
    case EncodingId::Utf8:
        break;
    }
    return {u"65001", u"UTF-8"};
}

} // namespace

std::u16string CharsetHeaderText(EncodingId target, std::u16string_view dateTime)
{
    const CharsetNames names = NamesFor(target);
    std::u16string header;
    header += u"<%@ CODEPAGE=";
    header += names.codePage;
    header += u" %>\r\n";
    header += u"<%Response.Charset=\"";
    header += names.charset;
    header += u"\"%>\r\n";
    header += u"\r\n";
    header += u"<!-- (注释)此文件由 ";
    header += ProductLine(true);
    header += u" 生成于 ";
    header += dateTime;
    header += u"，";
    header += kMakerHost;
    header += u" -->\r\n";
    return header;
}

bool MakeCharsetRule(RuleTable& rules, EncodingId target, std::u16string_view dateTime)
{
    ReplaceRule& rule = rules.Rule(1);
    if (rule.kind != RuleKind::NotMade)
        return false;
    rule.kind = RuleKind::InsertAtHead;
    rule.oldText = kInsertPlaceholder;
    rule.newText = CharsetHeaderText(target, dateTime);
    return true;
}

bool MakeCharsetRule(RuleTable& rules, EncodingId target, std::string_view dateTimeUtf8)
{
    const Result<std::u16string> dateTime =
        Utf8Decode(ByteView(reinterpret_cast<const std::uint8_t*>(dateTimeUtf8.data()), dateTimeUtf8.size()));
    return MakeCharsetRule(rules, target, dateTime ? *dateTime : std::u16string());
}

} // namespace veltran
