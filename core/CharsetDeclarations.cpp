#include "CharsetDeclarations.h"

#include <algorithm>
#include <array>
#include <vector>

namespace veltran {

namespace {

struct Edit
{
    std::size_t begin;
    std::size_t end;
    std::u16string label;
};

// The text with ASCII letters in lower case and every other unit as 0x80, one byte per unit, so that
// the declarations' keywords can be looked for with plain string searches.
std::string FoldedAscii(std::u16string_view text)
{
    std::string folded(text.size(), '\x80');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80)
            folded[i] = static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit);
    }
    return folded;
}

bool IsLabelCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Rewriter
{
public:
    Rewriter(std::u16string_view text, EncodingId source, EncodingId target)
        : m_text(text), m_folded(FoldedAscii(text)), m_source(source), m_target(target)
    {
    }

    DeclarationCount Run(std::u16string& text)
    {
        ForEach("<meta", [this](std::size_t at) { KeysUntil(at, ">", {"charset"}); });
        ForEach("<?xml", [this](std::size_t at) { KeysUntil(at, "?>", {"encoding"}); });
        ForEach("@charset", [this](std::size_t at) { LabelAfter(at + 8); });
        ForEach("<%@", [this](std::size_t at) { KeysUntil(at, "%>", {"codepage", "pageencoding", "charset"}); });
        ForEach("response.charset", [this](std::size_t at) { Assignment(at + 16); });
        ForEach("response.codepage", [this](std::size_t at) { Assignment(at + 17); });
        ForEach("session.codepage", [this](std::size_t at) { Assignment(at + 16); });
        ForEach("header", [this](std::size_t at) { PhpHeader(at + 6); });

        std::sort(m_edits.begin(), m_edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
        for (const Edit& edit : m_edits)
            text.replace(edit.begin, edit.end - edit.begin, edit.label);
        return {m_labels.size(), m_edits.size()};
    }

private:
    template <typename Visit> void ForEach(std::string_view keyword, Visit&& visit)
    {
        for (std::size_t at = m_folded.find(keyword); at != std::string::npos; at = m_folded.find(keyword, at + 1))
            visit(at);
    }

    std::size_t SkipSpaces(std::size_t i) const
    {
        while (i < m_folded.size() && IsSpace(m_folded[i]))
            ++i;
        return i;
    }

    // In a tag or directive from `at` to `closing`, the value after each keyword and "=".
    void KeysUntil(std::size_t at, std::string_view closing, std::initializer_list<std::string_view> keys)
    {
        const std::size_t end = std::min(m_folded.find(closing, at), m_folded.size());
        for (const std::string_view key : keys) {
            for (std::size_t k = m_folded.find(key, at); k < end; k = m_folded.find(key, k + 1)) {
                const std::size_t eq = SkipSpaces(k + key.size());
                if (eq < end && m_folded[eq] == '=')
                    LabelAfter(eq + 1, end);
            }
        }
    }

    // `Response.Charset = "..."` and `Session.CodePage = 936`.
    void Assignment(std::size_t i)
    {
        const std::size_t eq = SkipSpaces(i);
        if (eq < m_folded.size() && m_folded[eq] == '=')
            LabelAfter(eq + 1);
    }

    // header("Content-Type: text/html; charset=gbk") and header('content-type:...').
    void PhpHeader(std::size_t i)
    {
        i = SkipSpaces(i);
        if (i >= m_folded.size() || m_folded[i] != '(')
            return;
        i = SkipSpaces(i + 1);
        if (i >= m_folded.size() || (m_folded[i] != '"' && m_folded[i] != '\''))
            return;
        const char quote = m_folded[i];
        const std::size_t end = std::min(m_folded.find(quote, i + 1), m_folded.size());
        if (m_folded.compare(SkipSpaces(i + 1), 12, "content-type") != 0)
            return;
        for (std::size_t k = m_folded.find("charset", i); k < end; k = m_folded.find("charset", k + 1)) {
            const std::size_t eq = SkipSpaces(k + 7);
            if (eq < end && m_folded[eq] == '=')
                LabelAfter(eq + 1, end);
        }
    }

    // The label at `i`, after spaces and an opening quote, up to `limit`.
    void LabelAfter(std::size_t i, std::size_t limit = std::string::npos)
    {
        limit = std::min(limit, m_folded.size());
        i = SkipSpaces(i);
        if (i < limit && (m_folded[i] == '"' || m_folded[i] == '\''))
            i = SkipSpaces(i + 1);
        std::size_t end = i;
        while (end < limit && IsLabelCharacter(m_folded[end]))
            ++end;
        // A label can be reached by two keywords (a directive's charset and its own keyword).
        if (end == i || std::find(m_labels.begin(), m_labels.end(), i) != m_labels.end())
            return;
        m_labels.push_back(i);
        const std::u16string_view label = m_text.substr(i, end - i);
        if (m_source != m_target && CharsetLabelFamily(label) == m_source)
            m_edits.push_back({i, end, TargetLabel(label)});
    }

    std::u16string TargetLabel(std::u16string_view old) const
    {
        const bool number = std::all_of(old.begin(), old.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
        std::u16string label;
        switch (m_target) {
        case EncodingId::Gb:
            label = number ? u"936" : u"gbk";
            break;
        case EncodingId::Big5:
            label = number ? u"950" : u"big5";
            break;
        case EncodingId::Utf8:
            label = number ? u"65001" : u"utf-8";
            break;
        }
        const bool capitals = std::any_of(old.begin(), old.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }) &&
                              std::none_of(old.begin(), old.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
        if (capitals)
            std::transform(label.begin(), label.end(), label.begin(),
                           [](char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; });
        return label;
    }

    std::u16string_view m_text;
    std::string m_folded;
    EncodingId m_source;
    EncodingId m_target;
    std::vector<Edit> m_edits;
    std::vector<std::size_t> m_labels; // where each declaration's label starts
};

} // namespace

std::optional<EncodingId> CharsetLabelFamily(std::u16string_view label)
{
    struct Family
    {
        std::string_view label;
        EncodingId encoding;
    };
    static constexpr std::array<Family, 13> kFamilies{{
        {"gb2312", EncodingId::Gb},
        {"gbk", EncodingId::Gb},
        {"gb18030", EncodingId::Gb},
        {"cp936", EncodingId::Gb},
        {"x-gbk", EncodingId::Gb},
        {"936", EncodingId::Gb},
        {"big5", EncodingId::Big5},
        {"cp950", EncodingId::Big5},
        {"x-x-big5", EncodingId::Big5},
        {"950", EncodingId::Big5},
        {"utf-8", EncodingId::Utf8},
        {"utf8", EncodingId::Utf8},
        {"65001", EncodingId::Utf8},
    }};
    const std::string folded = FoldedAscii(label);
    for (const Family& family : kFamilies) {
        if (family.label == folded)
            return family.encoding;
    }
    return std::nullopt;
}

DeclarationCount RewriteCharsetDeclarations(std::u16string& text, EncodingId source, EncodingId target)
{
    return Rewriter(text, source, target).Run(text);
}

} // namespace veltran
