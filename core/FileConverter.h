#pragma once

#include "ConversionNotes.h"
#include "ConversionOptions.h"
#include "FileSystemCalls.h"
#include "RuleTable.h"
#include "Status.h"

#include <filesystem>

namespace veltran {

/// Whether numeric character references suit the file: HTML and XML pages, by their extension.
bool TakesCharacterReferences(const std::filesystem::path& path);

/// Converts one file in place through ReplaceFile. The file is read whole (ReadRegularFile; a link is
/// converted where it points and stays a link), its reading chosen and its content converted
/// (ConvertContent: a file that reads as another encoding, a second run over converted files, is
/// refused before anything changes; so is a file that converting its backup gives, a second run over
/// a page too short to judge). With keepBackup the original also becomes "<path>.bak" (an older
/// backup file is replaced); the new file keeps the original's permission bits and, where allowed,
/// owner. With dryRun nothing is written: the result is what a real run would give (as far as can be
/// told without writing), and the notes what it would write. A file that changed between its reading
/// and its replacement fails (ChangedMeanwhile) and is left as the other writer left it. On any
/// failure the file stays at its path with its bytes and no temporary file is left. A file without
/// any write permission bit fails without keepBackup, even for root. A file with other hard links fails
/// (HardLinked, "has N hard links"), and so does a binary one (SparseFile, NulBytesOnly). A
/// missing file whose backup is there alone (LoneBackupOf) is put back first, which notes.putBackFrom
/// tells (NotPutBack when that fails); a dry run judges the backup's bytes instead. `notes`, when given, are told
/// what ConversionNotes holds, as the record options ask. Never throws: running out of memory is the
/// file's failure (OutOfMemory, "not enough memory for this file").
Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls = SystemFileCalls(), ConversionNotes* notes = nullptr);

} // namespace veltran
