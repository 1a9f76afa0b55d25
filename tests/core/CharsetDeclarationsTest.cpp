#include "CharsetDeclarations.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

struct DeclarationCase
{
    const char* name;
    EncodingId source;
    EncodingId target;
    std::u16string before;
    std::u16string after;
    std::size_t found;
    std::size_t rewritten;
};

class RewriteDeclarations : public ::testing::TestWithParam<DeclarationCase>
{
};

TEST_P(RewriteDeclarations, NamesTheTargetWhereTheSourceWasNamed)
{
    const DeclarationCase& c = GetParam();
    std::u16string text = c.before;
    const DeclarationCount count = RewriteCharsetDeclarations(text, c.source, c.target);
    EXPECT_TRUE(text == c.after) << std::string(text.begin(), text.end());
    EXPECT_EQ(count.found, c.found);
    EXPECT_EQ(count.rewritten, c.rewritten);

    // The same in the bytes, here UTF-8, which holds every snippet.
    const Bytes bytes = Utf8Encode(c.before);
    Bytes rewritten = bytes;
    const DeclarationCount inBytes =
        RewriteCharsetDeclarations(bytes, 0, EncodingId::Utf8, c.source, c.target, rewritten);
    EXPECT_TRUE(rewritten == Utf8Encode(c.after));
    EXPECT_EQ(inBytes.found, c.found);
    EXPECT_EQ(inBytes.rewritten, c.rewritten);
}

constexpr EncodingId Gb = EncodingId::Gb;
constexpr EncodingId Big5 = EncodingId::Big5;
constexpr EncodingId Utf8 = EncodingId::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Snippets, RewriteDeclarations,
    ::testing::Values(
        DeclarationCase{"MetaCharsetQuoted", Gb, Utf8, u"<meta charset=\"gb2312\">", u"<meta charset=\"utf-8\">", 1, 1},
        DeclarationCase{"MetaCharsetBareInCapitals", Gb, Utf8, u"<META CHARSET=GB2312>", u"<META CHARSET=UTF-8>", 1, 1},
        DeclarationCase{"HttpEquivSplitOverLines", Gb, Big5,
                        u"<meta http-equiv=\"Content-Type\"\r\n      content=\"text/html; charset=gbk\" />",
                        u"<meta http-equiv=\"Content-Type\"\r\n      content=\"text/html; charset=big5\" />", 1, 1},
        DeclarationCase{"XmlDeclaration", Big5, Utf8, u"<?xml version=\"1.0\" encoding='BIG5'?><a/>",
                        u"<?xml version=\"1.0\" encoding='UTF-8'?><a/>", 1, 1},
        DeclarationCase{"CssCharset", Gb, Utf8, u"@charset \"GB18030\";\nbody{}", u"@charset \"UTF-8\";\nbody{}", 1, 1},
        DeclarationCase{"AspDirectiveCodePage", Gb, Big5, u"<%@ LANGUAGE=\"VBSCRIPT\" CODEPAGE=\"936\" %>",
                        u"<%@ LANGUAGE=\"VBSCRIPT\" CODEPAGE=\"950\" %>", 1, 1},
        DeclarationCase{"AspStatements", Utf8, Gb,
                        u"<% Response.Charset = \"utf-8\"\r\nSession.CodePage=65001\r\nresponse.codepage = 65001 %>",
                        u"<% Response.Charset = \"gbk\"\r\nSession.CodePage=936\r\nresponse.codepage = 936 %>", 3, 3},
        DeclarationCase{"PhpHeader", Gb, Utf8,
                        u"<?php header('Content-Type: text/html; charset=x-gbk'); header (\"content-type: text/css;"
                        u" charset=gb2312\"); header('X-Note: charset=gbk'); ?>",
                        u"<?php header('Content-Type: text/html; charset=utf-8'); header (\"content-type: text/css;"
                        u" charset=utf-8\"); header('X-Note: charset=gbk'); ?>",
                        2, 2},
        DeclarationCase{"JspPageDirective", Gb, Utf8,
                        u"<%@ page contentType=\"text/html; charset=GBK\" pageEncoding=\"cp936\" %>",
                        u"<%@ page contentType=\"text/html; charset=UTF-8\" pageEncoding=\"utf-8\" %>", 2, 2},
        DeclarationCase{"OtherFamilyIsLeftAlone", Gb, Utf8, u"<meta charset=\"big5\">", u"<meta charset=\"big5\">", 1,
                        0},
        DeclarationCase{"UnknownLabelIsLeftAlone", Gb, Utf8, u"<meta charset=iso-8859-1>", u"<meta charset=iso-8859-1>",
                        1, 0},
        DeclarationCase{"SameFamilyKeepsItsLabel", Gb, Gb, u"<meta charset=\"gb2312\">", u"<meta charset=\"gb2312\">",
                        1, 0},
        DeclarationCase{"ProseAndHtml5HeaderAreNotDeclarations", Gb, Utf8,
                        u"<header>charset=gb2312 is a label</header><p>encoding=\"gbk\"</p>",
                        u"<header>charset=gb2312 is a label</header><p>encoding=\"gbk\"</p>", 0, 0},
        DeclarationCase{"ChineseAroundIsKept", Gb, Utf8, u"中文<meta charset=gb2312>文字",
                        u"中文<meta charset=utf-8>文字", 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// In the bytes, before decoding: a trail byte that looks like a letter is no part of a keyword, a
// byte-order mark is skipped, and a character cut off at the end is no trouble.
TEST(RewriteDeclarationsInBytes, SeesTheCharactersTheDecoderSees)
{
    struct Case
    {
        const char* name;
        EncodingId encoding;
        std::size_t start;
        std::string before;
        std::string after;
    };
    for (const Case& c : {
             // 0x81 0x63 is one GBK character whose trail byte is "c": "<meta" + that + "harset=gbk" is no
             // declaration, while the one after it is.
             Case{"TrailByteIsNoLetter", Gb, 0,
                  "<meta \x81"
                  "charset=gbk><meta charset=gbk>",
                  "<meta \x81"
                  "charset=gbk><meta charset=utf-8>"},
             Case{"AfterTheByteOrderMark", Utf8, 3, "\xEF\xBB\xBF<meta charset=utf-8>中",
                  "\xEF\xBB\xBF<meta charset=gbk>中"},
             Case{"FourByteLeadCutOff", Utf8, 0, "<meta charset=utf8>\xF0", "<meta charset=gbk>\xF0"},
         }) {
        SCOPED_TRACE(c.name);
        const Bytes bytes(c.before.begin(), c.before.end());
        const EncodingId target = c.encoding == Gb ? Utf8 : Gb;
        Bytes rewritten;
        const DeclarationCount count =
            RewriteCharsetDeclarations(bytes, c.start, c.encoding, c.encoding, target, rewritten);
        EXPECT_EQ(std::string(rewritten.begin(), rewritten.end()), c.after);
        EXPECT_EQ(count.rewritten, 1u);
    }
}

// The bytes give what the decoded text gives, in each encoding that holds the text: a trail byte
// that looks like "@" or a letter starts no keyword, and a tag reaches as far in UTF-16 units
// however many bytes its characters take. "%" stands for the source's own label.
TEST(RewriteDeclarationsInBytes, AgreeWithTheDecodedText)
{
    const std::u16string pad(1000, u'中');
    const std::u16string wide = [] {
        std::u16string text;
        for (int i = 0; i < 500; ++i)
            text += u"\U00020BB7";
        return text;
    }();
    const std::u16string texts[] = {
        u"一charset \"%\"; @charset \"%\";",                              // in BIG5 一 is A4 40, "@"
        u"<% 尸esponse.Charset = \"%\" %><% Response.Charset = \"%\" %>", // 尸 ends in "r"
        u"<meta 勺harset=%><meta charset=%>",                             // 勺 ends in "c"
        u"<meta content=\"" + pad + u"\" charset=%>",
        u"<meta content=\"" + pad.substr(10) + u"\" charset=%>",
        u"<meta content=\"" + wide + u"\" charset=%>",
        u"<meta content=\"" + wide.substr(10) + u"\" charset=%>",
    };
    for (const EncodingId source : {Gb, Big5, Utf8}) {
        const std::u16string label = source == Gb ? u"gbk" : source == Big5 ? u"big5" : u"utf-8";
        const EncodingId target = source == Utf8 ? Gb : Utf8;
        for (std::u16string text : texts) {
            for (std::size_t at = text.find(u'%'); at != std::u16string::npos; at = text.find(u'%', at))
                text.replace(at, 1, label);
            const Bytes bytes = Encode(source, text);
            if (const DecodeResult back = Decode(source, bytes); !back.ok() || *back != text)
                continue; // the encoding lacks a character
            SCOPED_TRACE(std::string(EncodingName(source)) + " " + std::to_string(text.size()));
            std::u16string decoded = text;
            const DeclarationCount inText = RewriteCharsetDeclarations(decoded, source, target);
            Bytes rewritten = bytes;
            const DeclarationCount inBytes = RewriteCharsetDeclarations(bytes, 0, source, source, target, rewritten);
            EXPECT_EQ(inBytes.found, inText.found);
            EXPECT_EQ(inBytes.rewritten, inText.rewritten);
            EXPECT_TRUE(rewritten == Encode(source, decoded));
        }
    }
}

} // namespace
} // namespace veltran
