#pragma once

#include "CharsetDeclarations.h"
#include "MappedCharacters.h"
#include "SourceEncodingCheck.h"
#include "SourceRefusal.h"
#include "UnmappableCharacters.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace veltran {

/// What a conversion found out, beyond its success.
struct ConversionNotes
{
    SourceReading reading;
    std::string file;                // the file converted: the path, or where its link points
    UnmappableCharacters unmappable; // with record.unmappable or references
    DeclarationCount declarations;   // with rewriteDeclarations
    MappedCharacters mapped;         // in a dry run: the characters the Chinese mapping changes
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;   // what the file holds (or would hold) afterwards
    std::string originalSha256;       // with record.hashes
    std::string writtenSha256;        // with record.hashes
    std::filesystem::path backup;     // where the original was kept; empty without a backup
    bool replacedOtherBackup = false; // an older backup that held other bytes than the file read was replaced
    std::vector<std::string> notKept; // what of the file's group, owner, ACL and attributes the new file lacks
    // What the encoding check saw when it refused the file; shared with the failure's Status, and
    // empty for nearly every file, so a run that keeps every file's notes holds one pointer each.
    std::shared_ptr<const SourceRefusal> refusal;
    std::filesystem::path putBackFrom; // the lone backup put back at the missing path first (in a dry
                                       // run: that would be, and whose bytes were judged)
};

} // namespace veltran
