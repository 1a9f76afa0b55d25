#include "FileMetadata.h"

#include "SystemError.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

std::string GroupName(gid_t group)
{
    struct group entry = {};
    struct group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(group, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(group);
}

std::string UserName(uid_t user)
{
    struct passwd entry = {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(user, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
        return found->pw_name;
    return std::to_string(user);
}

// The owner where the process may give it, else the group alone, which the owner of a file may give it
// when a member of the group.
void KeepOwner(int to, const struct stat& now, const FileOwnership& ownership, const FileSystemCalls& calls,
               std::vector<std::string>& notKept)
{
    if (now.st_uid == ownership.owner && now.st_gid == ownership.group)
        return;
    const int error = calls.ChangeOwner(to, ownership.owner, ownership.group);
    if (error == 0)
        return;
    if (now.st_uid != ownership.owner)
        notKept.push_back("owner " + UserName(ownership.owner) + " not kept: " + SystemErrorText(error));
    if (now.st_gid == ownership.group)
        return;
    if (const int groupError = calls.ChangeOwner(to, static_cast<uid_t>(-1), ownership.group); groupError != 0)
        notKept.push_back("group " + GroupName(ownership.group) + " not kept: " + SystemErrorText(groupError));
}

std::string AttributeWhat(const std::string& name)
{
    return name == "system.posix_acl_access" ? std::string("ACL") : "extended attribute " + name;
}

// Extended attributes, ACLs among them, copied one by one: one that cannot be set does not stop the
// others.
void KeepAttributes(int from, int to, const FileSystemCalls& calls, std::vector<std::string>& notKept)
{
    std::string names;
    if (const int error = calls.ListAttributes(from, names); error != 0) {
        if (error != ENOTSUP && error != ENODATA)
            notKept.push_back("extended attributes not kept: " + SystemErrorText(error));
        return;
    }
    for (std::size_t start = 0; start < names.size();) {
        std::size_t end = names.find('\0', start);
        if (end == std::string::npos)
            end = names.size();
        const std::string name = names.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        std::string value;
        int error = calls.GetAttribute(from, name, value);
        if (error == ENODATA) // removed since it was listed
            continue;
        if (error == 0)
            error = calls.SetAttribute(to, name, value);
        if (error != 0)
            notKept.push_back(AttributeWhat(name) + " not kept: " + SystemErrorText(error));
    }
}

} // namespace

Result<std::vector<std::string>> KeepMetadata(int from, int to, const FileOwnership& ownership,
                                              const FileSystemCalls& calls)
{
    std::vector<std::string> notKept;
    struct stat now = {};
    if (const int error = calls.FileStat(to, now); error != 0)
        return Status::Failure(StatusCode::CannotSetPermissions, {.systemError = error});
    KeepOwner(to, now, ownership, calls, notKept);
    // After the owner, whose change clears set-user-ID bits; mostly the file has them already, and one
    // look costs less than a change.
    const bool ownerChanged = now.st_uid != ownership.owner || now.st_gid != ownership.group;
    if (ownerChanged || (now.st_mode & 07777) != (ownership.mode & 07777)) {
        if (const int error = calls.ChangeMode(to, ownership.mode & 07777); error != 0)
            return Status::Failure(StatusCode::CannotSetPermissions, {.systemError = error});
    }
    if (from >= 0)
        KeepAttributes(from, to, calls, notKept);
    return notKept;
}

} // namespace veltran
