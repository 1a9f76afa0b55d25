#include "UnreadableFolder.h"

#include "FileReader.h"

#include <fcntl.h>
#include <unistd.h>

namespace veltran {

Status UnreadableFolderFailure(const std::filesystem::path& folder, const FileSystemCalls& calls)
{
    const int fd = calls.Open(folder, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return Status::Failure(StatusCode::FolderUnreadable);
    }
    return OpenFailure(-fd);
}

} // namespace veltran
