#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <filesystem>

namespace veltran {

/// Why a folder among a run's entries, put there by a scan that could not search it, fails: what
/// opening it says now (Permission, "permission denied"; OpenFailed, "cannot open: " and the system's
/// reason), or FolderUnreadable when it opens now (its files were not listed).
Status UnreadableFolderFailure(const std::filesystem::path& folder, const FileSystemCalls& calls);

} // namespace veltran
