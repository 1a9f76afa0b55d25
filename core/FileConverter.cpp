#include "FileConverter.h"

#include "ChineseMapping.h"
#include "StagedFile.h"
#include "TextCodecs.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

ConvertResult OpenFailure(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return ConvertResult::Failure(ConvertError::NotFound, "file not found");
    case EACCES:
    case EPERM:
        return ConvertResult::Failure(ConvertError::Permission, "permission denied: " + SystemErrorText(errorNumber));
    default:
        return ConvertResult::Failure(ConvertError::ReadFailed, "cannot open: " + SystemErrorText(errorNumber));
    }
}

// Reads a whole regular file. O_NONBLOCK keeps a FIFO or device at the path from hanging the
// run; such files are refused once fstat has seen them.
ConvertResult ReadWholeFile(const std::filesystem::path& path, Bytes& content, struct stat& info)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenFailure(errno);
    ConvertResult status;
    if (::fstat(fd, &info) != 0) {
        status = ConvertResult::Failure(ConvertError::ReadFailed, "cannot read: " + SystemErrorText(errno));
    } else if (!S_ISREG(info.st_mode)) {
        status = ConvertResult::Failure(ConvertError::NotFound, "not a regular file");
    } else {
        content.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        while (status.ok()) {
            if (got == content.size())
                content.resize(content.size() + 4096); // the file grew since fstat
            const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                status = ConvertResult::Failure(ConvertError::ReadFailed, "cannot read: " + SystemErrorText(errno));
            else if (n == 0)
                break;
            else
                got += static_cast<std::size_t>(n);
        }
        content.resize(got);
    }
    ::close(fd);
    return status;
}

std::string InvalidBytesMessage(EncodingId encoding, std::size_t offset)
{
    return "bytes not valid in " + std::string(EncodingName(encoding)) + " at offset " + std::to_string(offset);
}

} // namespace

ReadResult DecodeFileBytes(ByteView bytes, EncodingId source)
{
    ReadResult result;
    if (bytes.size() >= kUtf8Bom.size() && HasUtf8Bom(bytes)) {
        const ByteView content = bytes.subspan(kUtf8Bom.size());
        if (content.empty()) {
            result.status = ConvertResult::Failure(ConvertError::Empty, "the file holds a byte-order mark only");
            return result;
        }
        DecodeResult decoded = Utf8Decode(content);
        if (!decoded.ok)
            result.status = ConvertResult::Failure(ConvertError::InvalidBytes,
                                                   InvalidBytesMessage(EncodingId::Utf8, decoded.invalidOffset + 3));
        result.text = std::move(decoded.text);
        return result;
    }
    if (bytes.empty()) {
        result.status = ConvertResult::Failure(ConvertError::Empty, "the file is empty");
        return result;
    }
    // Converting UTF-8 text as if it were GB or BIG5 would garble every Chinese character.
    if (source != EncodingId::Utf8 && IsNonAsciiUtf8(bytes)) {
        result.status = ConvertResult::Failure(ConvertError::AlreadyUtf8, "the file is already UTF-8");
        return result;
    }
    DecodeResult decoded = Decode(source, bytes);
    if (!decoded.ok)
        result.status =
            ConvertResult::Failure(ConvertError::InvalidBytes, InvalidBytesMessage(source, decoded.invalidOffset));
    result.text = std::move(decoded.text);
    return result;
}

ReadResult ReadFileText(const std::filesystem::path& path, EncodingId source)
{
    Bytes content;
    struct stat info = {};
    if (const ConvertResult read = ReadWholeFile(path, content, info); !read) {
        ReadResult failed;
        failed.status = read;
        return failed;
    }
    ReadResult result = DecodeFileBytes(content, source);
    result.mode = info.st_mode;
    result.owner = info.st_uid;
    result.group = info.st_gid;
    return result;
}

ConvertResult ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules, Bytes& out)
{
    try {
        text = ToSimplified(text);
        if (options.applyRules)
            rules.ApplyRules(text);
        switch (options.target) {
        case EncodingId::Utf8:
            if (options.source == EncodingId::Big5)
                text = ToTraditional(text);
            out = Utf8Encode(text);
            return ConvertResult::Success();
        case EncodingId::Big5:
            text = ToTraditional(text);
            break;
        case EncodingId::Gb:
            break;
        }
    } catch (const std::exception& e) {
        return ConvertResult::Failure(ConvertError::MappingFailed, e.what());
    }
    if (text.empty())
        return ConvertResult::Failure(ConvertError::EmptyResult, "the rules left no text, and " +
                                                                     std::string(EncodingName(options.target)) +
                                                                     " cannot store an empty file");
    out = Encode(options.target, text);
    return ConvertResult::Success();
}

namespace {

ConvertResult ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& options,
                                   const RuleTable& rules)
{
    // A link is converted where it points, so the link itself stays a link.
    std::error_code ec;
    std::filesystem::path path = givenPath;
    if (std::filesystem::is_symlink(givenPath, ec)) {
        path = std::filesystem::canonical(givenPath, ec);
        if (ec)
            return ConvertResult::Failure(ConvertError::NotFound, "the link points to no file");
    }

    ReadResult read = ReadFileText(path, options.source);
    if (!read.status)
        return read.status;
    Bytes converted;
    if (ConvertResult result = ConvertText(std::move(read.text), options, rules, converted); !result)
        return result;

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    if (!options.keepBackup && (read.mode & 0222) == 0)
        return ConvertResult::Failure(ConvertError::Permission, "the file is read-only");
    std::filesystem::path backup = path;
    backup += ".bak";
    if (options.keepBackup) {
        struct stat backupInfo = {};
        if (::lstat(backup.c_str(), &backupInfo) == 0 && !S_ISREG(backupInfo.st_mode))
            return ConvertResult::Failure(ConvertError::BackupBlocked,
                                          "something other than a file is at the backup path " + backup.string());
    }

    std::string error;
    std::optional<StagedFile> staged = StagedFile::Create(path, error);
    if (!staged)
        return ConvertResult::Failure(errno == EACCES ? ConvertError::Permission : ConvertError::WriteFailed, error);
    const bool bom = options.target == EncodingId::Utf8 && options.writeBom;
    if ((bom && !staged->Write(kUtf8Bom, error)) || !staged->Write(converted, error) ||
        !staged->CopyModeAndOwner(read.mode, read.owner, read.group, error) || !staged->Close(error))
        return ConvertResult::Failure(ConvertError::WriteFailed, error);

    if (options.keepBackup) {
        if (std::rename(path.c_str(), backup.c_str()) != 0)
            return ConvertResult::Failure(ConvertError::WriteFailed,
                                          "cannot make the backup: " + SystemErrorText(errno));
        if (std::rename(staged->Path().c_str(), path.c_str()) != 0) {
            const int renameError = errno;
            std::rename(backup.c_str(), path.c_str()); // put the source back where it was
            return ConvertResult::Failure(ConvertError::WriteFailed,
                                          "cannot put the new file in place: " + SystemErrorText(renameError));
        }
    } else if (std::rename(staged->Path().c_str(), path.c_str()) != 0) {
        return ConvertResult::Failure(ConvertError::WriteFailed,
                                      "cannot put the new file in place: " + SystemErrorText(errno));
    }
    staged->Release();
    return ConvertResult::Success();
}

} // namespace

ConvertResult ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules)
{
    // One file must never stop the run: out of memory or a codec that cannot load is that file's failure.
    try {
        return ConvertFileUnguarded(path, options, rules);
    } catch (const std::bad_alloc&) {
        return ConvertResult::Failure(ConvertError::ReadFailed, "not enough memory for this file");
    } catch (const std::exception& e) {
        return ConvertResult::Failure(ConvertError::MappingFailed, e.what());
    }
}

} // namespace veltran
