#pragma once

#include "ByteBuffer.h"
#include "ConversionNotes.h"
#include "ConversionOptions.h"
#include "LinkTargets.h"
#include "MappingPlan.h"
#include "RuleTable.h"
#include "Status.h"

#include <string>
#include <string_view>

namespace veltran {

/// The failure of a GB or BIG5 text that would be empty: those files cannot hold nothing.
Status EmptyTextFailure(EncodingId target);

/// What the pipeline tells of a conversion, in the notes.
struct PipelineNotes
{
    bool unmappable = false; // count the characters the target lacks (always with references)
    bool mapped = false;     // count the characters the Chinese mapping changes
};

/// The stages a file's text goes through between its decoding and its encoding, composed once for one
/// conversion: the charset declarations (whole text only; in pieces the caller rewrites them in the
/// bytes beforehand), the Simplified mapping, the rules, the Traditional mapping (as PlanMapping says,
/// link targets left as LinkTargets finds them), the marking of the characters the target lacks, and
/// the encoding. Either the whole text goes through at once, or its pieces in order with the ASCII
/// between them, which gives the same bytes when the pieces are cut where no phrase reaches across.
class TextPipeline
{
public:
    /// `readAs` is what the bytes were decoded as (a byte-order mark may have made them UTF-8), which
    /// the declarations name. `rules`, when given, run on the whole text only. `notes` are told what
    /// the stages found; they must outlive the pipeline.
    TextPipeline(const TextOptions& options, EncodingId readAs, const RuleTable* rules, PipelineNotes asked,
                 ConversionNotes& notes);

    /// The whole text to its bytes, without a byte-order mark. Fails (EmptyResult) when a GB or BIG5
    /// text would be empty. May throw std::bad_alloc.
    Result<ByteBuffer> ConvertWhole(std::u16string text);

    /// Appends ASCII that goes through as it is.
    void CopyAscii(ByteView ascii, ByteBuffer& out);
    /// Appends a piece of the text converted; pieces come in order, each cut before a unit where no
    /// phrase reaches across (IsMappingBoundary).
    void ConvertPiece(std::u16string_view piece, ByteBuffer& out);

private:
    std::u16string MapWhole(std::u16string text);
    // Both mappings are planned and their link trackers are in the same state: one following the
    // units serves both, since a tracker's state depends on the units alone.
    bool TrackersAgree() const;
    void MarkAndEncode(std::u16string& text, ByteBuffer& out);

    const TextOptions& m_options;
    EncodingId m_readAs;
    const RuleTable* m_rules;
    PipelineNotes m_asked;
    ConversionNotes& m_notes;
    MappingPlan m_plan;
    const CodePage* m_linksKeep;
    LinkTargets m_simplifiedLinks;
    LinkTargets m_traditionalLinks;
    std::u16string m_simplified; // the pieces' room, reused
    std::u16string m_traditional;
};

} // namespace veltran
