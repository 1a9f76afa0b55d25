#pragma once

#include <cstddef>
#include <span>

namespace veltran {

/// Tables of the Simplified to Traditional (Taiwan) chain, compiled into the
/// program at build time from the installed OpenCC dictionaries; for
/// ChainMatcher.
std::span<const std::byte> EmbeddedS2twTables();

/// Tables of the Traditional to Simplified chain (OpenCC's t2s with its phrases' outputs kept as
/// they are: KeepPhraseOutputs), which leaves Simplified text as it is; as EmbeddedS2twTables.
std::span<const std::byte> EmbeddedT2sTables();

/// Tables of the Traditional (Taiwan) to Simplified chain (OpenCC's tw2s without the variants of
/// kKeptByTaiwanChain); as EmbeddedS2twTables.
std::span<const std::byte> EmbeddedTw2sTables();

} // namespace veltran
