#pragma once

#include "Bytes.h"
#include "ConvertResult.h"
#include "EncodingId.h"
#include "RuleTable.h"

#include <filesystem>
#include <string>

namespace veltran {

/// Options of one conversion, as the window's check boxes give them.
struct ConvertOptions
{
    EncodingId source = EncodingId::Gb;
    EncodingId target = EncodingId::Utf8;
    bool keepBackup = true; // keep the source as "<path>.bak"
    bool applyRules = false;
    bool writeBom = false; // UTF-8 targets only
};

/// Result of ReadFileText: the text without byte-order mark, or why it could not be read.
struct ReadResult
{
    std::u16string text;
    ConvertResult status;
    // Permission bits, owner and group of the file read, for the file that takes its place.
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

/// Reads and strictly decodes a whole file. A file that starts with the UTF-8 byte-order mark
/// is decoded as UTF-8 whatever the source; files shorter than three bytes are never tested for it.
/// Fails for an empty file, a byte-order mark alone, invalid bytes (with their offset), and a
/// file declared GB or BIG5 that is already UTF-8.
ReadResult ReadFileText(const std::filesystem::path& path, EncodingId source);

/// Decodes whole file content the way ReadFileText does.
ReadResult DecodeFileBytes(ByteView bytes, EncodingId source);

/// The in-memory part of a conversion: the Simplified mapping of the text, the rules when
/// asked, and the target's mapping and encoding. Fails (EmptyResult) when a GB or BIG5 text
/// would be empty. No byte-order mark is added.
ConvertResult ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules, Bytes& out);

/// Converts one file in place. The new bytes go to a temporary file in the same folder first,
/// which then takes the source's place by rename, so the path never lacks a file: with
/// keepBackup the source becomes "<path>.bak" (an older backup file is replaced), without it the
/// source is replaced. The new file keeps the source's permission bits and, where allowed, owner.
/// On any failure the source stays at its path with its bytes and no temporary file is left.
/// A source without any write permission bit fails without keepBackup, even for root.
ConvertResult ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules);

} // namespace veltran
