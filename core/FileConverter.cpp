#include "FileConverter.h"

#include "AsciiRun.h"
#include "ChineseMapping.h"
#include "SystemError.h"
#include "TextCodecs.h"

#include <unicode/utf16.h>

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

// Where the text of file content starts and how it is decoded.
struct TextLayout
{
    EncodingId encoding;
    std::size_t start;
};

Result<TextLayout> InspectFileBytes(ByteView bytes, EncodingId source)
{
    if (HasUtf8Bom(bytes)) {
        if (bytes.size() == kUtf8Bom.size())
            return Status::Failure(StatusCode::Empty, "the file holds a byte-order mark only");
        return TextLayout{EncodingId::Utf8, kUtf8Bom.size()};
    }
    if (bytes.empty())
        return Status::Failure(StatusCode::Empty, "the file is empty");
    // Converting UTF-8 text as if it were GB or BIG5 would garble every Chinese character.
    if (source != EncodingId::Utf8 && IsNonAsciiUtf8(bytes))
        return Status::Failure(StatusCode::AlreadyUtf8, "the file is already UTF-8");
    return TextLayout{source, 0};
}

bool MapsToTraditional(const ConvertOptions& options)
{
    return options.target == EncodingId::Big5 ||
           (options.target == EncodingId::Utf8 && options.source == EncodingId::Big5);
}

Status EmptyResult(EncodingId target)
{
    return Status::Failure(StatusCode::EmptyResult, "the rules left no text, and " + std::string(EncodingName(target)) +
                                                        " cannot store an empty file");
}

// ASCII between two runs of other characters is mapped with them when it is this short, which costs
// less than mapping each run on its own.
constexpr std::size_t kJoinedAscii = 16;

// Converts the text after the layout's start piece by piece. Long runs of ASCII are copied as they
// are; the other characters, with short ASCII between them, are decoded, mapped and encoded a piece
// at a time. A piece longer than `pieceUnits` is cut before a unit where no phrase reaches across, so
// the result is the whole text's.
Result<ByteBuffer> ConvertInPieces(ByteView bytes, const TextLayout& layout, const ConvertOptions& options,
                                   std::size_t pieceUnits)
{
    const std::uint8_t* const data = bytes.data();
    const std::size_t size = bytes.size();
    const std::size_t textBytes = size - layout.start;
    // Room that is not written costs no memory, so the guess errs on the large side: two bytes of GB
    // or BIG5 become three of UTF-8.
    ByteBuffer out(layout.encoding != EncodingId::Utf8 && options.target == EncodingId::Utf8
                       ? textBytes + textBytes / 2 + 16
                       : textBytes + textBytes / 16 + 16);
    const bool toTraditional = MapsToTraditional(options);
    std::u16string piece;
    std::u16string simplified;
    std::u16string traditional;
    // No unit of the piece after its first, and before this index, is a boundary.
    std::size_t searched = 0;
    auto mapAndEncode = [&](std::size_t units) {
        simplified.clear();
        AppendSimplified(std::u16string_view(piece).substr(0, units), simplified);
        if (toTraditional) {
            traditional.clear();
            AppendTraditional(simplified, traditional);
        }
        EncodeAppend(options.target, toTraditional ? traditional : simplified, out);
        piece.erase(0, units);
        searched = piece.size();
    };

    std::size_t pos = layout.start;
    while (pos < size) {
        const std::size_t ascii = AsciiRunLength(data + pos, data + size);
        if (piece.empty() || ascii > kJoinedAscii || pos + ascii == size) {
            if (!piece.empty())
                mapAndEncode(piece.size());
            out.Append(bytes.subspan(pos, ascii));
        } else {
            piece.append(data + pos, data + pos + ascii);
        }
        pos += ascii;
        if (pos == size)
            break;
        const DecodeStop stop = DecodeAppend(layout.encoding, bytes.subspan(pos), piece, true, pieceUnits);
        if (stop.invalid)
            return InvalidBytesAt(layout.encoding, pos + stop.offset);
        pos += stop.offset;
        if (piece.size() >= pieceUnits) {
            // Only what lies before the last boundary is mapped now.
            std::size_t cut = 0;
            for (std::size_t i = piece.size(); i-- > std::max<std::size_t>(searched, 1) && cut == 0;) {
                if (IsMappingBoundary(piece[i]) && !U16_IS_TRAIL(piece[i]))
                    cut = i;
            }
            searched = piece.size();
            if (cut != 0)
                mapAndEncode(cut);
        }
    }
    if (!piece.empty())
        mapAndEncode(piece.size());
    if (out.empty() && options.target != EncodingId::Utf8)
        return EmptyResult(options.target);
    return out;
}

Status ReadFailure(int errorNumber)
{
    return Status::Failure(StatusCode::ReadFailed, "cannot read: " + SystemErrorText(errorNumber));
}

struct WholeFile
{
    ByteBuffer content;
    struct stat info = {};
};

// Opens the file at the path, or where the path's link points; `path` becomes the path of the file
// opened, so that a link stays a link. O_NONBLOCK keeps a FIFO or device at the path from hanging
// the run; such files are refused once fstat has seen them.
Result<int> OpenSource(std::filesystem::path& path)
{
    // O_NOFOLLOW tells a link by failing, which saves asking first for every file that is none.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == ELOOP) {
        std::error_code ec;
        path = std::filesystem::canonical(path, ec);
        if (ec)
            return Status::Failure(StatusCode::NotFound, "the link points to no file");
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0)
        return OpenFailure(errno);
    return fd;
}

// Reads a whole regular file into memory that is not cleared first.
Result<WholeFile> ReadWholeFile(int fd)
{
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
    // One byte more than the size: a read that reaches the size and leaves that byte unfilled has met
    // the end, which saves asking again.
    const auto size = static_cast<std::size_t>(file.info.st_size);
    file.content.Reserve(size + 1);
    do {
        if (file.content.size() == file.content.capacity())
            file.content.Reserve(file.content.capacity() + 65536); // the file grew since fstat
        const std::size_t room = file.content.capacity() - file.content.size();
        ssize_t n = 0;
        do
            n = ::read(fd, file.content.data() + file.content.size(), room);
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return ReadFailure(errno);
        if (n == 0)
            break;
        file.content.Extend(static_cast<std::size_t>(n));
    } while (file.content.size() < size || file.content.size() == file.content.capacity());
    return file;
}

Status ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& options,
                            const RuleTable& rules, const FileSystemCalls& calls)
{
    std::filesystem::path path = givenPath;
    const Result<int> fd = OpenSource(path);
    if (!fd)
        return fd.status();
    Result<WholeFile> file = ReadWholeFile(*fd);
    if (!file)
        return file.status();
    const struct stat& info = file->info;
    const FileOwnership ownership{info.st_mode, info.st_uid, info.st_gid};
    Result<ByteBuffer> converted = [&]() -> Result<ByteBuffer> {
        if (!options.applyRules)
            return ConvertFileBytes(file->content, options, rules);
        // The rules work on the whole text, so the file's bytes are let go as soon as it is decoded.
        Result<std::u16string> text = DecodeFileBytes(file->content, options.source);
        file->content = ByteBuffer();
        if (!text)
            return text.status();
        return ConvertText(std::move(*text), options, rules);
    }();
    file->content = ByteBuffer();
    if (!converted)
        return converted.status();

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    if (!options.keepBackup && (ownership.mode & 0222) == 0)
        return Status::Failure(StatusCode::Permission, "the file is read-only");

    ReplaceOptions replace;
    replace.ownership = ownership;
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
    const Result<TextLayout> layout = InspectFileBytes(bytes, source);
    if (!layout)
        return layout.status();
    std::u16string text;
    const DecodeStop stop = DecodeAppend(layout->encoding, bytes.subspan(layout->start), text);
    if (stop.invalid)
        return InvalidBytesAt(layout->encoding, layout->start + stop.offset);
    return text;
}

Result<ByteBuffer> ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules)
{
    text = ToSimplified(text);
    if (options.applyRules)
        rules.ApplyRules(text);
    if (MapsToTraditional(options))
        text = ToTraditional(text);
    if (text.empty() && options.target != EncodingId::Utf8)
        return EmptyResult(options.target);
    ByteBuffer bytes;
    EncodeAppend(options.target, text, bytes);
    return bytes;
}

Result<ByteBuffer> ConvertFileBytes(ByteView bytes, const ConvertOptions& options, const RuleTable& rules,
                                    std::size_t pieceUnits)
{
    // The rules work on the whole text; so does everything when ASCII could join a phrase, which
    // OpenCC's dictionaries never let it.
    static const bool asciiIsBoundary = [] {
        for (char16_t unit = 0; unit < 0x80; ++unit) {
            if (!IsMappingBoundary(unit))
                return false;
        }
        return true;
    }();
    if (options.applyRules || !asciiIsBoundary) {
        Result<std::u16string> text = DecodeFileBytes(bytes, options.source);
        if (!text)
            return text.status();
        return ConvertText(std::move(*text), options, rules);
    }
    const Result<TextLayout> layout = InspectFileBytes(bytes, options.source);
    if (!layout)
        return layout.status();
    return ConvertInPieces(bytes, *layout, options, std::max<std::size_t>(pieceUnits, 1));
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
