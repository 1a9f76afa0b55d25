#pragma once

#include "FileSystemCalls.h"
#include "Status.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace veltran {

/// Permission bits, owner and group that a new file takes over from the file it replaces.
struct FileOwnership
{
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

/// Gives the file open as `to` the permission bits of `ownership`, its owner and group where the
/// process may (the group alone where only that is allowed, as for a member of the group), and, when
/// `from` is an open file (not -1), that file's extended attributes, its ACL
/// (system.posix_acl_access) among them. Returns what could not be kept, one sentence each, such as
/// "group www-data not kept: Operation not permitted"; fails (WriteFailed) only when the permission
/// bits cannot be set.
Result<std::vector<std::string>> KeepMetadata(int from, int to, const FileOwnership& ownership,
                                              const FileSystemCalls& calls);

} // namespace veltran
