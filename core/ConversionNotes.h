#pragma once

#include "CharsetDeclarations.h"
#include "MappedCharacters.h"
#include "SourceEncodingCheck.h"
#include "SourceRefusal.h"
#include "UnmappableCharacters.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace veltran {

/// What a conversion found out, beyond its success.
struct ConversionNotes
{
    SourceReading reading;
    std::filesystem::path file;      // the file converted: the path, or where its link points
    UnmappableCharacters unmappable; // with record.unmappable or references
    DeclarationCount declarations;   // with rewriteDeclarations
    MappedCharacters mapped;         // in a dry run: the characters the Chinese mapping changes
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;       // what the file holds (or would hold) afterwards
    std::string originalSha256;           // with record.hashes
    std::string writtenSha256;            // with record.hashes
    std::optional<SourceRefusal> refusal; // what the encoding check saw when it refused the file
};

} // namespace veltran
