#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>

namespace veltran {

/// Removes one file staged by a run that was killed (a stray FindFiles found): only a regular file
/// whose name has the staged shape (IsStagedName), and only while no run holds the lock of the file
/// it was staged for (a live run's file being written has the same shape). Fails, removing nothing,
/// with SymbolicLink, Folder or SpecialFile for what is no regular file, NotStaged for another name,
/// StagedInUse ("in use by a run that is converting <name>"), or CannotRemove with the system's reason.
Status RemoveStray(const std::filesystem::path& stray, const FileSystemCalls& calls = SystemFileCalls());

} // namespace veltran
