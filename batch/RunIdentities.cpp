#include "RunIdentities.h"

#include "UnreadableFolder.h"

#include <new>

namespace veltran {

namespace {

// The staged file this thread named last, which its next rename puts in place; as text, which is
// how the rename spells it too.
thread_local std::string t_stagedName;

RunIdentities::Key KeyOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino};
}

} // namespace

RunIdentities::RunIdentities(const FileSystemCalls& calls) : m_calls(calls), m_recording(*this, calls)
{
}

RunIdentities::Admission RunIdentities::Admit(const std::filesystem::path& path, bool othersConverting)
{
    using Kind = Admission::Kind;
    Admission admitted;
    // The looks take no lock, which would hold up the notes of the other conversions for as long as a
    // system call takes: a conversion notes each file before it gives the file a name, so whatever a
    // look finds at the path is noted by the time of the verdict below.
    struct stat own = {};
    const bool found = m_calls.LinkStat(path, own) == 0;
    const bool folder = found && S_ISDIR(own.st_mode);
    struct stat file = own;
    admitted.known = found && !folder && (!S_ISLNK(own.st_mode) || m_calls.Stat(path, file) == 0);
    const std::string name = path.filename().string();
    std::vector<std::string> backupNames;
    if (admitted.known) {
        admitted.key = KeyOf(file);
        admitted.size = file.st_size > 0 ? static_cast<std::uintmax_t>(file.st_size) : 0;
        backupNames.push_back(name + ".bak");
        if (S_ISLNK(own.st_mode)) {
            std::error_code error;
            const std::filesystem::path target = std::filesystem::canonical(path, error);
            if (!error)
                backupNames.push_back(target.filename().string() + ".bak");
        }
    }

    const std::lock_guard<std::mutex> hold(m_lock);
    // A file listed beside an earlier one as its backup is that file's original once it converts.
    if (m_backupNames.count(name) > 0) {
        admitted.kind = Kind::Wait;
    } else if (folder) {
        admitted.kind = Kind::Refused;
        admitted.refusal = UnreadableFolderFailure(path, m_calls);
    } else if (!admitted.known) {
        // The conversion fails on its own, unless a file converting now is about to give the name a file.
        admitted.kind = othersConverting ? Kind::Wait : Kind::Start;
    } else if (m_converting.count(admitted.key) > 0) {
        admitted.kind = Kind::Wait;
    } else if (m_converted.count(admitted.key) > 0) {
        admitted.kind = Kind::Refused;
        admitted.refusal = Status::Failure(StatusCode::AlreadyConverted);
    } else {
        // Noted before the conversion, while a lack of memory still changes nothing on disk.
        admitted.backupNames = std::move(backupNames);
        m_converted.insert(admitted.key);
        try {
            m_converting.insert(admitted.key);
            for (const std::string& name : admitted.backupNames)
                m_backupNames.insert(name);
        } catch (const std::bad_alloc&) {
            m_converted.erase(admitted.key);
            m_converting.erase(admitted.key);
            EraseBackupNames(admitted);
            throw;
        }
    }
    return admitted;
}

void RunIdentities::Ended(const Admission& admitted, bool converted) noexcept
{
    if (!admitted.known)
        return;
    const std::lock_guard<std::mutex> hold(m_lock);
    m_converting.erase(admitted.key);
    EraseBackupNames(admitted);
    if (!converted)
        m_converted.erase(admitted.key);
}

void RunIdentities::EraseBackupNames(const Admission& admitted) noexcept
{
    for (const std::string& name : admitted.backupNames) {
        if (const auto found = m_backupNames.find(name); found != m_backupNames.end())
            m_backupNames.erase(found);
    }
}

int RunIdentities::Naming(const std::filesystem::path& from, const std::function<int()>& call)
{
    // Noted before the name appears, so that an entry admitted at any moment finds the file noted once
    // it can reach it; the call itself holds no lock, which would keep a staged file named longer.
    struct stat info = {};
    if (m_calls.Stat(from, info) == 0)
        Note(info);
    return call();
}

void RunIdentities::Note(const struct stat& info) noexcept
{
    const std::lock_guard<std::mutex> hold(m_lock);
    try {
        m_converted.insert(KeyOf(info));
    } catch (const std::bad_alloc&) {
        // The file is converted; without memory to note its new identity, only a link to it could
        // reach it again in this run.
    }
}

int RunIdentities::RecordingCalls::Rename(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    // A staged file named a moment ago was noted then: between its naming and this rename a kill
    // would leave it behind, so nothing more is done there.
    if (!t_stagedName.empty() && from.native() == t_stagedName) {
        t_stagedName.clear();
        return Inner().Rename(from, to);
    }
    return m_owner.Naming(from, [&] { return Inner().Rename(from, to); });
}

int RunIdentities::RecordingCalls::Link(const std::filesystem::path& from, const std::filesystem::path& to) const
{
    return m_owner.Naming(from, [&] { return Inner().Link(from, to); });
}

int RunIdentities::RecordingCalls::LinkOpenFile(int fd, const std::filesystem::path& to) const
{
    struct stat info = {};
    if (Inner().FileStat(fd, info) == 0)
        m_owner.Note(info);
    const int error = Inner().LinkOpenFile(fd, to);
    if (error == 0)
        t_stagedName = to.native();
    else
        t_stagedName.clear();
    return error;
}

} // namespace veltran
