#pragma once

#include "Bytes.h"
#include "EncodingId.h"
#include "FileSystemCalls.h"
#include "ReplaceFile.h"
#include "RuleTable.h"
#include "Status.h"

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

/// A file's text as read, with what the file that replaces it takes over.
struct SourceText
{
    std::u16string text; // without byte-order mark
    FileOwnership ownership;
};

/// Reads and strictly decodes a whole regular file. A file that starts with the UTF-8 byte-order mark
/// is decoded as UTF-8 whatever the source; files shorter than three bytes are never tested for it.
/// Fails for a missing or special file, an empty file, a byte-order mark alone, invalid bytes (with
/// their offset), and a file declared GB or BIG5 that is already UTF-8.
Result<SourceText> ReadFileText(const std::filesystem::path& path, EncodingId source);

/// Decodes whole file content the way ReadFileText does.
Result<std::u16string> DecodeFileBytes(ByteView bytes, EncodingId source);

/// The in-memory part of a conversion: the Simplified mapping of the text, the rules when asked,
/// and the target's mapping and encoding. Fails (EmptyResult) when a GB or BIG5 text would be
/// empty. No byte-order mark is added. May throw std::bad_alloc.
Result<Bytes> ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules);

/// Converts one file in place through ReplaceFile: with keepBackup the source becomes "<path>.bak"
/// (an older backup file is replaced), without it the source is replaced; the new file keeps the
/// source's permission bits and, where allowed, owner. A link is converted where it points and stays
/// a link. On any failure the source stays at its path with its bytes and no temporary file is left.
/// A source without any write permission bit fails without keepBackup, even for root. Never throws:
/// running out of memory is the file's failure (OutOfMemory).
Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
