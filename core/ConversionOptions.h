#pragma once

#include "BackupNames.h"
#include "EncodingId.h"

#include <optional>
#include <string_view>

namespace veltran {

/// How the encoding a file is read as is chosen.
enum class SourceMode
{
    Declared, // the given source; a file that reads as another encoding is refused (a second run)
    Guessed,  // whichever of GB, BIG5 and UTF-8 the file plausibly is; the source is then unused
    Trusted,  // the given source, whatever the file looks like; strict decoding still has its say
};

/// Which forms the Chinese characters of the text are written in.
enum class ChineseForms
{
    Implied,     // as the source and target imply: Traditional for BIG5 targets, else Simplified; BIG5 text kept
    Keep,        // as they are: the encoding alone changes
    Simplified,  // Simplified forms, from any source
    Traditional, // OpenCC's standard Traditional forms
    Taiwan,      // Taiwan-standard Traditional forms, the ones BIG5 targets get; BIG5 text kept
};

/// "implied", "keep", "simplified", "traditional" or "taiwan": the command line's spellings.
std::string_view ChineseFormsName(ChineseForms forms);

/// Parses ChineseFormsName's spellings other than "implied" (exact letter case).
std::optional<ChineseForms> ParseChineseForms(std::string_view text);

/// What the text of a file becomes.
struct TextOptions
{
    EncodingId source = EncodingId::Gb;
    SourceMode sourceMode = SourceMode::Declared;
    EncodingId target = EncodingId::Utf8;
    ChineseForms chinese = ChineseForms::Implied;
    bool applyRules = false;             // the window reads it anew for each file
    bool writeBom = false;               // UTF-8 targets only; read anew for each file as well
    bool rewriteDeclarations = false;    // charset declarations of the source's family name the target
    bool unmappableAsReferences = false; // what the target lacks as "&#x4E2D;", in HTML and XML pages only
    bool dropUnmappable = false;         // what the target lacks left out (where it is not a reference)
};

/// How the disk is touched.
struct DiskOptions
{
    bool keepBackup = true;                     // the original stays as "<path>.bak"
    BackupMode backupMode = BackupMode::Simple; // with keepBackup; Numbered keeps every original, "<path>.bak.~N~"
    bool sync = false;   // the new file and its folder flushed to the disk before it takes the path
    bool dryRun = false; // everything but writing: the file and its backup stay as they are
};

/// What is recorded of each conversion, beyond its success (see ConversionNotes).
struct RecordOptions
{
    bool unmappable = false; // count the characters the target lacks
    bool hashes = false;     // SHA-256 of the original and of the new content
};

/// Everything a conversion is asked to do, by concern, passed whole from the run's settings down.
struct ConvertOptions
{
    TextOptions text;
    DiskOptions disk;
    RecordOptions record;
};

} // namespace veltran
