#include "FileConverter.h"

#include "ChineseMapping.h"
#include "SystemError.h"
#include "TextCodecs.h"

#include <algorithm>
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

ByteView Bom(const ConvertOptions& options)
{
    return options.target == EncodingId::Utf8 && options.writeBom ? ByteView(kUtf8Bom) : ByteView();
}

// File content to its converted bytes (without the byte-order mark), read as ChooseSourceReading
// says, which `reading` is told. `kept`, when given, takes the content back; otherwise it is freed
// before the text is converted.
Result<Bytes> ConvertContent(Bytes content, const ConvertOptions& options, const RuleTable& rules,
                             SourceReading& reading, Bytes* kept)
{
    const Result<SourceReading> chosen =
        ChooseSourceReading(content, options.guessSource ? std::nullopt : std::optional(options.source), options.target,
                            options.applyRules);
    if (!chosen)
        return chosen.status();
    reading = *chosen;
    // A declared source still decides the mapping of a file that a byte-order mark makes UTF-8.
    ConvertOptions used = options;
    if (options.guessSource)
        used.source = reading.encoding;
    Result<std::u16string> text = DecodeFileBytes(content, used.source);
    if (kept != nullptr)
        *kept = std::move(content);
    else
        content = Bytes();
    if (!text)
        return text.status();
    return ConvertText(std::move(*text), used, rules);
}

// Whether converting the backup gives the file's content: the file is then the backup's conversion,
// which converting again would garble, and replacing the backup would lose the original. A backup
// that holds the file's own bytes loses nothing.
bool ConvertsTo(const std::filesystem::path& backup, ByteView content, const ConvertOptions& options,
                const RuleTable& rules)
{
    Result<WholeFile> held = ReadWholeFile(backup);
    if (!held || std::equal(content.begin(), content.end(), held->content.begin(), held->content.end()))
        return false;
    SourceReading reading;
    const Result<Bytes> again = ConvertContent(std::move(held->content), options, rules, reading, nullptr);
    const ByteView bom = Bom(options);
    return again && content.size() == bom.size() + again->size() &&
           std::equal(bom.begin(), bom.end(), content.begin()) &&
           std::equal(again->begin(), again->end(), content.begin() + static_cast<std::ptrdiff_t>(bom.size()));
}

Status ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& options,
                            const RuleTable& rules, const FileSystemCalls& calls, SourceReading* readAs)
{
    // A link is converted where it points, so the link itself stays a link.
    std::error_code ec;
    std::filesystem::path path = givenPath;
    if (std::filesystem::is_symlink(givenPath, ec)) {
        path = std::filesystem::canonical(givenPath, ec);
        if (ec)
            return Status::Failure(StatusCode::NotFound, "the link points to no file");
    }

    Result<WholeFile> file = ReadWholeFile(path);
    if (!file)
        return file.status();
    std::filesystem::path backup = path;
    backup += ".bak";
    const bool backupHeld = options.keepBackup && std::filesystem::is_regular_file(backup, ec);
    SourceReading reading;
    Result<Bytes> converted =
        ConvertContent(std::move(file->content), options, rules, reading, backupHeld ? &file->content : nullptr);
    if (!converted)
        return converted.status();
    // Too short a text may not tell a second run from a first; its backup does, and it is the
    // original that a second run would replace.
    if (backupHeld && ConvertsTo(backup, file->content, options, rules))
        return Status::Failure(StatusCode::WrongEncoding,
                               "converted already: it is what converting " + backup.filename().string() + " gives");

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    const struct stat& info = file->info;
    if (!options.keepBackup && (info.st_mode & 0222) == 0)
        return Status::Failure(StatusCode::Permission, "the file is read-only");

    ReplaceOptions replace;
    replace.ownership = FileOwnership{info.st_mode, info.st_uid, info.st_gid};
    replace.expected = IdentityOf(info);
    replace.sync = options.sync;
    if (options.keepBackup)
        replace.backup = backup;
    const std::array<ByteView, 2> pieces{Bom(options), ByteView(*converted)};
    Status replaced = ReplaceFile(path, pieces, replace, calls);
    if (replaced && readAs != nullptr)
        *readAs = reading;
    return replaced;
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
    return Decode(source, bytes);
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
                   const FileSystemCalls& calls, SourceReading* readAs)
{
    // The one place where exceptions stop: one file must never end the run.
    try {
        return ConvertFileUnguarded(path, options, rules, calls, readAs);
    } catch (const std::bad_alloc&) {
        return Status::Failure(StatusCode::OutOfMemory, "not enough memory for this file");
    } catch (const std::exception& e) {
        return Status::Failure(StatusCode::MappingFailed, e.what());
    }
}

} // namespace veltran
