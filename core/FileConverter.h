#pragma once

#include "ByteBuffer.h"
#include "Bytes.h"
#include "CharsetDeclarations.h"
#include "EncodingId.h"
#include "FileSystemCalls.h"
#include "MappedCharacters.h"
#include "ReplaceFile.h"
#include "RuleTable.h"
#include "SourceEncodingCheck.h"
#include "Status.h"
#include "UnmappableCharacters.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran {

/// Options of one conversion, as the window's check boxes give them.
struct ConvertOptions
{
    EncodingId source = EncodingId::Gb;
    EncodingId target = EncodingId::Utf8;
    bool keepBackup = true; // keep the source as "<path>.bak"
    bool applyRules = false;
    bool writeBom = false;            // UTF-8 targets only
    bool guessSource = false;         // read each file as whichever encoding it plausibly is (source is then ignored)
    bool trustSource = false;         // read each file as the source, whatever it looks like (strict decoding holds)
    bool sync = false;                // flush the new file and its folder to the disk before it takes the path
    bool rewriteDeclarations = false; // charset declarations of the source's family name the target
    bool noteUnmappable = false;      // count the characters the target lacks
    bool unmappableAsReferences = false;        // write them as "&#x4E2D;" instead of "?" (HTML and XML pages)
    bool record = false;                        // SHA-256 of the original and of the new content
    bool dryRun = false;                        // everything but writing: the file and its backup stay as they are
    BackupMode backupMode = BackupMode::Simple; // with keepBackup; Numbered keeps every original, "<path>.bak.~N~"
};

/// What a conversion found out, beyond its success.
struct ConversionNotes
{
    SourceReading reading;
    std::filesystem::path file;      // the file converted: the path, or where its link points
    UnmappableCharacters unmappable; // with noteUnmappable or unmappableAsReferences
    DeclarationCount declarations;   // with rewriteDeclarations
    MappedCharacters mapped;         // with dryRun: the characters the Chinese mapping changes
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;   // what the file holds (or would hold) afterwards
    std::string originalSha256;       // with record
    std::string writtenSha256;        // with record
    std::filesystem::path backup;     // where the original was kept; empty without a backup
    bool replacedOtherBackup = false; // an older backup that held other bytes than the file read was replaced
    std::vector<std::string> notKept; // what of the file's group, owner, ACL and attributes the new file lacks

    // What the encoding check saw when it refused the file.
    std::optional<SourceRefusal> refusal;
};

/// Whether numeric character references suit the file: HTML and XML pages, by their extension.
bool TakesCharacterReferences(const std::filesystem::path& path);

/// Decodes whole file content strictly. Content that starts with the UTF-8 byte-order mark is
/// decoded as UTF-8 whatever the source; content shorter than three bytes is never tested for it.
/// Fails for empty content, a byte-order mark alone, and invalid bytes (with their offset in the
/// content). Which encoding to decode as is ChooseSourceReading's decision.
Result<std::u16string> DecodeFileBytes(ByteView bytes, EncodingId source);

/// The in-memory part of a conversion: the charset declarations when asked, the Simplified mapping
/// of the text, the rules when asked, and the target's mapping and encoding. Fails (EmptyResult) when a GB or BIG5 text
/// would be empty. No byte-order mark is added. May throw std::bad_alloc. `notes`, when given, is told the unmappable
/// characters and the declarations.
Result<ByteBuffer> ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules,
                               ConversionNotes* notes = nullptr);

/// Converts whole file content as ConvertFile does once it has chosen the reading (`options.source`):
/// DecodeFileBytes, then ConvertText. Without
/// rules the text goes through in pieces of about `pieceUnits` (cut where no phrase reaches across),
/// so that memory holds little more than the content and its result, and runs of ASCII are copied
/// as they are. No byte-order mark is added. May throw std::bad_alloc.
inline constexpr std::size_t kDefaultPieceUnits = 16384;
Result<ByteBuffer> ConvertFileBytes(ByteView bytes, const ConvertOptions& options, const RuleTable& rules,
                                    std::size_t pieceUnits = kDefaultPieceUnits, ConversionNotes* notes = nullptr);

/// Converts one file in place through ReplaceFile: with keepBackup the source also becomes "<path>.bak"
/// (an older backup file is replaced; backupMode Numbered keeps it and makes "<path>.bak.~N~"), without
/// it the source is replaced; the new file keeps the source's permission bits, extended attributes and
/// ACL and, where allowed, owner and group (what it could not keep is in the notes). A link is
/// converted where it points and stays a link. The file is locked (flock) from its reading to its
/// replacement, except in a dry run: a file another run holds fails with BeingConverted ("being converted
/// by another run"). The file is read
/// as ChooseSource says, which refuses a file that reads as another encoding (a second run over converted files) before
/// anything changes, unless trustSource; a file that converting its backup gives (a second run over a page too short to
/// judge) is refused even then, since converting it again would replace the original in its backup. `notes`, when
/// given, is told the reading used and what ConversionNotes holds. With dryRun nothing is written: the result is what a
/// real run would give (as far as can be told without writing), and the notes what it would write. A file that changed
/// between its reading and its replacement fails (ChangedMeanwhile) and is left as the other writer left it. On any
/// failure the source stays at its path with its bytes and no temporary file is left. A source without any write
/// permission bit fails without keepBackup, even for root. Never throws: running out of memory is the file's failure
/// (OutOfMemory, "not enough memory for this file").
Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls = SystemFileCalls(), ConversionNotes* notes = nullptr);

} // namespace veltran
