#pragma once

#include "FileSystemCalls.h"
#include "ForwardingFileCalls.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace veltran {

/// The files of one run by device and inode, so that each is converted once however it is reached
/// (the same path twice, a link, a hard link, overlapping folders), while several files convert at
/// once. A file counts as converted from its admission on, and stops counting if its conversion fails,
/// so that a later entry reaching it tries again; a later entry reaching a file still converting waits
/// for its result. The files that the run's conversions give names (the new file, the backup) are
/// noted just before the names appear, through Calls(), so an entry admitted meanwhile never reaches a
/// converted file unrecognised. Thread-safe.
class RunIdentities
{
public:
    using Key = std::pair<dev_t, ino_t>;

    /// What admitting an entry decided.
    struct Admission
    {
        enum class Kind
        {
            Start,   // convert it now
            Refused, // it fails at once with `refusal`
            Wait,    // admit it again after a file still converting has ended
        } kind = Kind::Start;
        Status refusal;
        bool known = false;                   // the file was found; `key` names it
        Key key{};                            // to pass to Ended
        std::uintmax_t size = 0;              // its size in bytes, when known
        std::vector<std::string> backupNames; // the names its backup may take, while it converts
    };

    /// `calls` reach the file system; they must outlive this object.
    explicit RunIdentities(const FileSystemCalls& calls);

    /// Looks at the entry's path and decides: a folder (left there by a scan that could not read it)
    /// is refused with FolderUnreadable, a file converted earlier in the run with AlreadyConverted; a
    /// file still converting, a path that names no file while others convert (one of them may be
    /// about to give it a name), and a name that the backup of a file converting may take, wait.
    /// `othersConverting` says whether any file is converting now.
    Admission Admit(const std::filesystem::path& path, bool othersConverting);
    /// The conversion of an admitted entry has ended; a failed one no longer counts as converted.
    void Ended(const Admission& admitted, bool converted) noexcept;

    /// The calls the conversions are to use: the given ones, noting the file that each rename or link
    /// (LinkOpenFile among them) names as converted just before the name appears.
    const FileSystemCalls& Calls() const { return m_recording; }

private:
    class RecordingCalls : public ForwardingFileCalls
    {
    public:
        RecordingCalls(RunIdentities& owner, const FileSystemCalls& calls) : ForwardingFileCalls(calls), m_owner(owner)
        {
        }
        int Rename(const std::filesystem::path& from, const std::filesystem::path& to) const override;
        int Link(const std::filesystem::path& from, const std::filesystem::path& to) const override;
        int LinkOpenFile(int fd, const std::filesystem::path& to) const override;

    private:
        RunIdentities& m_owner;
    };

    // Forgets the backup names of an admitted entry; called with the lock held.
    void EraseBackupNames(const Admission& admitted) noexcept;
    // Notes the file at `from` as converted, then makes the call that gives it another name. Returns
    // the call's result.
    int Naming(const std::filesystem::path& from, const std::function<int()>& call);
    // Notes the file as converted.
    void Note(const struct stat& info) noexcept;

    struct KeyHash
    {
        std::size_t operator()(const Key& key) const noexcept
        {
            // Inodes of one device differ in their low bits; the device only tells the rare clash apart.
            return static_cast<std::size_t>(key.second * 0x9E3779B97F4A7C15ull ^ key.first);
        }
    };

    const FileSystemCalls& m_calls;
    RecordingCalls m_recording;
    std::mutex m_lock;
    std::unordered_set<Key, KeyHash> m_converted;  // converted, or admitted and still converting
    std::unordered_set<Key, KeyHash> m_converting; // admitted and not yet ended
    std::multiset<std::string> m_backupNames;      // file names the backups of the files converting may take
};

} // namespace veltran
