#include "CharsetDeclarations.h"

#include "FoldedPage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace veltran {

namespace {

using folded::FoldedBytes;
using folded::FoldedText;

struct Edit
{
    std::size_t begin;
    std::size_t end;
    std::u16string label;
};

// A label with ASCII letters in lower case and every other unit as 0x80, one byte per unit.
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

// Finds the declarations in text or bytes (FoldedText or FoldedBytes), in the places of either.
template <typename Text> class Rewriter
{
public:
    Rewriter(const Text& text, EncodingId source, EncodingId target)
        : m_folded(text), m_source(source), m_target(target)
    {
    }

    /// The declarations found, and the edits that make those of the source's family name the
    /// target, from the last to the first.
    DeclarationCount Run(std::vector<Edit>& edits)
    {
        for (std::size_t at = m_folded.NextMark(0); at < m_folded.size(); at = m_folded.NextMark(at + 1)) {
            switch (m_folded[at]) {
            case '<':
                if (m_folded.At(at, "<meta"))
                    KeysUntil(at, ">", {"charset"});
                else if (m_folded.At(at, "<?xml"))
                    KeysUntil(at, "?>", {"encoding"});
                else if (m_folded.At(at, "<%@"))
                    KeysUntil(at, "%>", {"codepage", "pageencoding", "charset"});
                break;
            case '@':
                if (m_folded.At(at, "@charset"))
                    LabelAfter(at + 8);
                break;
            case '.':
                if (m_folded.At(at, ".charset") && Before(at, "response"))
                    Assignment(at + 8);
                else if (m_folded.At(at, ".codepage") && (Before(at, "response") || Before(at, "session")))
                    Assignment(at + 9);
                break;
            default: // '('
                if (const std::size_t name = SkipSpacesBack(at); Before(name, "header"))
                    PhpHeader(name);
                break;
            }
        }

        std::sort(m_edits.begin(), m_edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
        edits = std::move(m_edits);
        return {m_labels.size(), edits.size()};
    }

private:
    // Whether the keyword ends just before `at`.
    bool Before(std::size_t at, std::string_view keyword) const
    {
        return at >= keyword.size() && m_folded.At(at - keyword.size(), keyword);
    }

    std::size_t SkipSpacesBack(std::size_t i) const
    {
        while (i > 0 && IsSpace(m_folded[i - 1]))
            --i;
        return i;
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
        const std::size_t end = m_folded.EndOf(at, closing);
        for (const std::string_view key : keys)
            LabelsAfterKey(key, at, end);
    }

    // The value after each `key` and "=" from `at` to `end`.
    void LabelsAfterKey(std::string_view key, std::size_t at, std::size_t end)
    {
        for (std::size_t k = m_folded.Find(key, at, end); k != std::string_view::npos;
             k = m_folded.Find(key, k + 1, end)) {
            const std::size_t eq = SkipSpaces(k + key.size());
            if (eq < end && m_folded[eq] == '=')
                LabelAfter(eq + 1, end);
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
        const std::size_t end = m_folded.EndOf(i + 1, std::string_view(&quote, 1));
        if (!m_folded.At(SkipSpaces(i + 1), "content-type"))
            return;
        LabelsAfterKey("charset", i, end);
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
        const std::u16string label = m_folded.Label(i, end);
        if (m_source != m_target && CharsetLabelFamily(label) == EncodingFamily(m_source))
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
        case EncodingId::Gb18030:
            label = number ? u"54936" : u"gb18030";
            break;
        }
        const bool capitals = std::any_of(old.begin(), old.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }) &&
                              std::none_of(old.begin(), old.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
        if (capitals)
            std::transform(label.begin(), label.end(), label.begin(),
                           [](char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; });
        return label;
    }

    const Text& m_folded;
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
    static constexpr std::array<Family, 14> kFamilies{{
        {"gb2312", EncodingId::Gb},
        {"gbk", EncodingId::Gb},
        {"gb18030", EncodingId::Gb},
        {"cp936", EncodingId::Gb},
        {"x-gbk", EncodingId::Gb},
        {"936", EncodingId::Gb},
        {"54936", EncodingId::Gb},
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
    std::vector<Edit> edits;
    const FoldedText folded(text);
    const DeclarationCount count = Rewriter(folded, source, target).Run(edits);
    for (const Edit& edit : edits)
        text.replace(edit.begin, edit.end - edit.begin, edit.label);
    return count;
}

DeclarationCount RewriteCharsetDeclarations(ByteView bytes, std::size_t start, EncodingId encoding, EncodingId source,
                                            EncodingId target, Bytes& rewritten)
{
    std::vector<Edit> edits;
    const FoldedBytes folded(bytes, start, encoding);
    const DeclarationCount count = Rewriter(folded, source, target).Run(edits);
    if (edits.empty())
        return count;
    // One copy, with each label put in on the way; the edits come last first.
    rewritten.clear();
    rewritten.reserve(bytes.size() + 8 * edits.size());
    std::size_t copied = 0;
    for (std::size_t e = edits.size(); e-- > 0;) {
        rewritten.insert(rewritten.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied),
                         bytes.begin() + static_cast<std::ptrdiff_t>(edits[e].begin));
        for (const char16_t unit : edits[e].label) // labels are ASCII
            rewritten.push_back(static_cast<std::uint8_t>(unit));
        copied = edits[e].end;
    }
    rewritten.insert(rewritten.end(), bytes.begin() + static_cast<std::ptrdiff_t>(copied), bytes.end());
    return count;
}

} // namespace veltran
