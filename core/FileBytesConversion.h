#pragma once

#include "ByteBuffer.h"
#include "ConversionNotes.h"
#include "ConversionOptions.h"
#include "RuleTable.h"
#include "Status.h"
#include "TextPipeline.h"

#include <cstddef>

namespace veltran {

inline constexpr std::size_t kDefaultPieceUnits = 16384;

/// Converts whole file content, read as `options.source` (a byte-order mark makes it UTF-8), to the
/// target's bytes without a byte-order mark, through a TextPipeline. With rules, which need the whole
/// text, the content is decoded whole; without them it goes in pieces of about `pieceUnits` units cut
/// where no phrase reaches across, runs of ASCII copied as they are and declarations rewritten in the
/// bytes first, so that memory holds little more than the content and its result; the bytes are the
/// same either way. Fails as DecodeFileBytes does (invalid bytes name their offset in the content as
/// it is), or with EmptyResult. `notes`, when given, are told what the pipeline found. May throw
/// std::bad_alloc.
Result<ByteBuffer> ConvertFileBytes(ByteView bytes, const TextOptions& options, const RuleTable& rules,
                                    PipelineNotes asked = {}, ConversionNotes* notes = nullptr,
                                    std::size_t pieceUnits = kDefaultPieceUnits);

/// Whether converting `content` as ConvertContent would gives exactly `expected`. Without rules it
/// stops at the first piece whose bytes differ, so that content whose conversion differs early costs
/// little; a refused or failing conversion gives false.
bool ConversionGives(ByteView content, const TextOptions& options, const RuleTable& rules, ByteView expected);

/// File content to its converted bytes as a conversion does it: the reading is chosen first
/// (ChooseSource: a refused file fails with the refusal's code and sentence, and `notes.refusal`
/// says what was seen), then ConvertFileBytes, a declared source still deciding the mapping of a file
/// that a byte-order mark makes UTF-8. `notes.reading` is told the reading.
Result<ByteBuffer> ConvertContent(ByteView content, const TextOptions& options, const RuleTable& rules,
                                  PipelineNotes asked, ConversionNotes& notes);

} // namespace veltran
