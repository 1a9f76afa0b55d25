#include "FileConverter.h"

#include "ChineseMapping.h"
#include "SystemError.h"
#include "TextCodecs.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {

namespace {

Status OpenFailure(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return Status::Failure(StatusCode::NotFound, "file not found");
    case EACCES:
    case EPERM:
        return Status::Failure(StatusCode::Permission, "permission denied");
    default:
        return Status::Failure(StatusCode::ReadFailed, "cannot open: " + SystemErrorText(errorNumber));
    }
}

Status ReadFailure(int errorNumber)
{
    return Status::Failure(StatusCode::ReadFailed, "cannot read: " + SystemErrorText(errorNumber));
}

struct WholeFile
{
    Bytes content;
    struct stat info = {};
};

// Reads a whole regular file. O_NONBLOCK keeps a FIFO or device at the path from hanging the
// run; such files are refused once fstat has seen them.
Result<WholeFile> ReadWholeFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenFailure(errno);
    struct FdCloser
    {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};

    WholeFile file;
    if (::fstat(fd, &file.info) != 0)
        return ReadFailure(errno);
    if (!S_ISREG(file.info.st_mode))
        return Status::Failure(StatusCode::NotFound, "not a regular file");
    file.content.resize(static_cast<std::size_t>(file.info.st_size));
    std::size_t got = 0;
    while (true) {
        if (got == file.content.size())
            file.content.resize(file.content.size() + 4096); // the file grew since fstat
        const ssize_t n = ::read(fd, file.content.data() + got, file.content.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadFailure(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    file.content.resize(got);
    return file;
}

Status ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& options,
                            const RuleTable& rules, const FileSystemCalls& calls)
{
    // A link is converted where it points, so the link itself stays a link.
    std::error_code ec;
    std::filesystem::path path = givenPath;
    if (std::filesystem::is_symlink(givenPath, ec)) {
        path = std::filesystem::canonical(givenPath, ec);
        if (ec)
            return Status::Failure(StatusCode::NotFound, "the link points to no file");
    }

    Result<SourceText> source = ReadFileText(path, options.source);
    if (!source)
        return source.status();
    Result<Bytes> converted = ConvertText(std::move(source->text), options, rules);
    if (!converted)
        return converted.status();

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    if (!options.keepBackup && (source->ownership.mode & 0222) == 0)
        return Status::Failure(StatusCode::Permission, "the file is read-only");

    ReplaceOptions replace;
    replace.ownership = source->ownership;
    if (options.keepBackup) {
        replace.backup = path;
        *replace.backup += ".bak";
    }
    const bool bom = options.target == EncodingId::Utf8 && options.writeBom;
    const std::array<ByteView, 2> pieces{bom ? ByteView(kUtf8Bom) : ByteView(), ByteView(*converted)};
    return ReplaceFile(path, pieces, replace, calls);
}

} // namespace

Result<std::u16string> DecodeFileBytes(ByteView bytes, EncodingId source)
{
    if (HasUtf8Bom(bytes)) {
        if (bytes.size() == kUtf8Bom.size())
            return Status::Failure(StatusCode::Empty, "the file holds a byte-order mark only");
        // Decoded with the mark, so that an offset in an error is an offset in the file.
        Result<std::u16string> text = Utf8Decode(bytes);
        if (text)
            text->erase(0, 1);
        return text;
    }
    if (bytes.empty())
        return Status::Failure(StatusCode::Empty, "the file is empty");
    // Converting UTF-8 text as if it were GB or BIG5 would garble every Chinese character.
    if (source != EncodingId::Utf8 && IsNonAsciiUtf8(bytes))
        return Status::Failure(StatusCode::AlreadyUtf8, "the file is already UTF-8");
    return Decode(source, bytes);
}

Result<SourceText> ReadFileText(const std::filesystem::path& path, EncodingId source)
{
    Result<WholeFile> file = ReadWholeFile(path);
    if (!file)
        return file.status();
    Result<std::u16string> text = DecodeFileBytes(file->content, source);
    if (!text)
        return text.status();
    const struct stat& info = file->info;
    return SourceText{std::move(*text), FileOwnership{info.st_mode, info.st_uid, info.st_gid}};
}

Result<Bytes> ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules)
{
    text = ToSimplified(text);
    if (options.applyRules)
        rules.ApplyRules(text);
    if (options.target == EncodingId::Big5 ||
        (options.target == EncodingId::Utf8 && options.source == EncodingId::Big5))
        text = ToTraditional(text);
    if (text.empty() && options.target != EncodingId::Utf8)
        return Status::Failure(StatusCode::EmptyResult, "the rules left no text, and " +
                                                            std::string(EncodingName(options.target)) +
                                                            " cannot store an empty file");
    return Encode(options.target, text);
}

Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls)
{
    // The one place where exceptions stop: one file must never end the run.
    try {
        return ConvertFileUnguarded(path, options, rules, calls);
    } catch (const std::bad_alloc&) {
        return Status::Failure(StatusCode::OutOfMemory, "not enough memory for this file");
    } catch (const std::exception& e) {
        return Status::Failure(StatusCode::MappingFailed, e.what());
    }
}

} // namespace veltran
