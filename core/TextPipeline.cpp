#include "TextPipeline.h"

#include "TextCodecs.h"
#include "UntouchedText.h"

namespace veltran {
namespace {

// What link targets keep as they are: everything a UTF-8 target holds, or that goes out as references,
// and otherwise what the target's code page holds.
const CodePage* LinksKeep(const TextOptions& options)
{
    return HoldsAllUnicode(options.target) || options.unmappableAsReferences ? nullptr : &CodePage::Of(options.target);
}

} // namespace

Status EmptyTextFailure(EncodingId target)
{
    return Status::Failure(StatusCode::EmptyResult, {.encoding = static_cast<int>(target)});
}

TextPipeline::TextPipeline(const TextOptions& options, EncodingId readAs, const RuleTable* rules, PipelineNotes asked,
                           ConversionNotes& notes)
    : m_options(options), m_readAs(readAs), m_rules(options.applyRules ? rules : nullptr), m_asked(asked),
      m_notes(notes), m_plan(PlanMapping(options.source, options.target, m_rules != nullptr, options.chinese)),
      m_linksKeep(LinksKeep(options)), m_simplifiedLinks(m_linksKeep), m_traditionalLinks(m_linksKeep)
{
    m_asked.unmappable = m_asked.unmappable || options.unmappableAsReferences || options.dropUnmappable;
}

Result<ByteBuffer> TextPipeline::ConvertWhole(std::u16string text)
{
    // The declarations are rewritten in the text as decoded, as they are in the bytes of a conversion
    // in pieces, and before the rules, which have the last word.
    if (m_options.rewriteDeclarations)
        m_notes.declarations = RewriteCharsetDeclarations(text, m_readAs, m_options.target);
    text = MapWhole(std::move(text));
    if (text.empty() && m_options.target != EncodingId::Utf8)
        return EmptyTextFailure(m_options.target);
    ByteBuffer bytes;
    MarkAndEncode(text, bytes);
    return bytes;
}

// The mappings of the plan, with the rules between them; the characters they change are counted
// when asked. Rules move text about, so then each mapping is compared with its own input; without
// them the text is compared as a whole, as it is in pieces.
std::u16string TextPipeline::MapWhole(std::u16string text)
{
    MappedCharacters* mapped = m_asked.mapped ? &m_notes.mapped : nullptr;
    if (m_plan.toSimplified == nullptr) {
        if (m_rules)
            m_rules->ApplyRules(text);
        return text;
    }
    std::u16string simplified = LinkTargets::MapOutside(*m_plan.toSimplified, text, m_linksKeep);
    if (m_plan.keepsUntouchedText && m_rules) {
        std::u16string ruled = simplified;
        m_rules->ApplyRules(ruled);
        return TraditionalAfterRules(text, simplified, ruled, *m_plan.toTraditional, m_linksKeep, mapped);
    }
    if (m_rules) {
        if (mapped)
            mapped->Compare(text, simplified);
        m_rules->ApplyRules(simplified);
        if (!m_plan.toTraditional)
            return simplified;
        std::u16string out = LinkTargets::MapOutside(*m_plan.toTraditional, simplified, m_linksKeep);
        if (mapped)
            mapped->Compare(simplified, out);
        return out;
    }
    std::u16string out = m_plan.toTraditional ? LinkTargets::MapOutside(*m_plan.toTraditional, simplified, m_linksKeep)
                                              : std::move(simplified);
    if (mapped)
        mapped->Compare(text, out);
    return out;
}

bool TextPipeline::TrackersAgree() const
{
    return m_plan.toSimplified && m_plan.toTraditional && m_traditionalLinks == m_simplifiedLinks;
}

void TextPipeline::CopyAscii(ByteView ascii, ByteBuffer& out)
{
    const std::string_view text(reinterpret_cast<const char*>(ascii.data()), ascii.size());
    // Both mappings see the same ASCII and their trackers mostly agree already: then one pass serves both.
    const bool shared = TrackersAgree();
    if (m_plan.toSimplified)
        m_simplifiedLinks.Pass(text);
    if (shared)
        m_traditionalLinks = m_simplifiedLinks;
    else if (m_plan.toTraditional)
        m_traditionalLinks.Pass(text);
    out.Append(ascii);
}

void TextPipeline::ConvertPiece(std::u16string_view piece, ByteBuffer& out)
{
    // Text the mapping to Simplified forms leaves as it is, most of what is converted, is not run through
    // it: its link tracker only follows the units, or, where it agrees with the Traditional one, takes
    // that one's state once the mapping to Traditional forms has followed the same units.
    std::u16string_view text = piece;
    const bool simplifiedMaps = m_plan.toSimplified && !m_plan.toSimplified->MapsToItself(piece);
    const bool shared = !simplifiedMaps && TrackersAgree();
    if (simplifiedMaps) {
        m_simplified.clear();
        m_simplifiedLinks.Map(*m_plan.toSimplified, piece, m_simplified);
        text = m_simplified;
    } else if (m_plan.toSimplified && !shared) {
        m_simplifiedLinks.Pass(piece);
    }
    if (m_plan.toTraditional) {
        m_traditional.clear();
        m_traditionalLinks.Map(*m_plan.toTraditional, text, m_traditional);
        if (shared)
            m_simplifiedLinks = m_traditionalLinks;
    } else if (!simplifiedMaps) {
        m_simplified.assign(piece);
    }
    std::u16string& mapped = m_plan.toTraditional ? m_traditional : m_simplified;
    if (m_asked.mapped)
        m_notes.mapped.Compare(piece, mapped);
    MarkAndEncode(mapped, out);
}

void TextPipeline::MarkAndEncode(std::u16string& text, ByteBuffer& out)
{
    // The target mostly holds every character, which the encoder finds out on its way: only text with
    // a character it lacked is looked through again, to count those characters and rewrite them.
    const std::size_t start = out.size();
    if (EncodeAppend(m_options.target, text, out) || !m_asked.unmappable)
        return;
    const UnmappableAs as = ChosenUnmappableAs(m_options.unmappableAsReferences, m_options.dropUnmappable);
    MarkUnmappable(text, m_options.target, as, m_notes.unmappable);
    if (as != UnmappableAs::Question) {
        out.Truncate(start);
        EncodeAppend(m_options.target, text, out);
    }
}

} // namespace veltran
