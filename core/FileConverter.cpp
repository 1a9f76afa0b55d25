#include "FileConverter.h"

#include "AsciiRun.h"
#include "ChineseMapping.h"
#include "LinkTargets.h"
#include "MappingPlan.h"
#include "Sha256.h"
#include "SystemError.h"
#include "TextCodecs.h"
#include "UntouchedText.h"

#include <unicode/utf16.h>

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
    return TextLayout{source, 0};
}

bool NotesUnmappable(const ConvertOptions& options)
{
    return options.noteUnmappable || options.unmappableAsReferences;
}

// What link targets keep as they are: everything a UTF-8 target holds, or that goes out as references,
// and otherwise what the target's code page holds.
const CodePage* LinkKeeps(const ConvertOptions& options)
{
    return options.target == EncodingId::Utf8 || options.unmappableAsReferences ? nullptr
                                                                                : &CodePage::Of(options.target);
}

// The characters the target lacks, counted and, where asked, written as references.
void MarkForTarget(std::u16string& text, const ConvertOptions& options, ConversionNotes* notes)
{
    if (!NotesUnmappable(options))
        return;
    UnmappableCharacters unused;
    MarkUnmappable(text, options.target, options.unmappableAsReferences, notes ? notes->unmappable : unused);
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
                                   std::size_t pieceUnits, ConversionNotes* notes)
{
    const std::uint8_t* const data = bytes.data();
    const std::size_t size = bytes.size();
    const std::size_t textBytes = size - layout.start;
    // Room that is not written costs no memory, so the guess errs on the large side: two bytes of GB
    // or BIG5 become three of UTF-8.
    ByteBuffer out(layout.encoding != EncodingId::Utf8 && options.target == EncodingId::Utf8
                       ? textBytes + textBytes / 2 + 16
                       : textBytes + textBytes / 16 + 16);
    const MappingPlan plan = PlanMapping(options.source, options.target, false);
    LinkTargets simplifiedLinks(LinkKeeps(options));
    LinkTargets traditionalLinks(LinkKeeps(options));
    std::u16string piece;
    std::u16string simplified;
    std::u16string traditional;
    // No unit of the piece after its first, and before this index, is a boundary.
    std::size_t searched = 0;
    auto mapAndEncode = [&](std::size_t units) {
        std::u16string_view text = std::u16string_view(piece).substr(0, units);
        if (plan.toSimplified) {
            simplified.clear();
            simplifiedLinks.Map(*plan.toSimplified, text, simplified);
            text = simplified;
        }
        if (plan.toTraditional) {
            traditional.clear();
            traditionalLinks.Map(*plan.toTraditional, text, traditional);
        }
        if (!plan.MapsAnything())
            simplified.assign(text);
        std::u16string& mapped = plan.toTraditional ? traditional : simplified;
        if (notes && options.dryRun)
            notes->mapped.Compare(std::u16string_view(piece).substr(0, units), mapped);
        MarkForTarget(mapped, options, notes);
        EncodeAppend(options.target, mapped, out);
        piece.erase(0, units);
        searched = piece.size();
    };
    auto copyAscii = [&](ByteView ascii) {
        const std::string_view text(reinterpret_cast<const char*>(ascii.data()), ascii.size());
        if (plan.toSimplified)
            simplifiedLinks.Pass(text);
        if (plan.toTraditional)
            traditionalLinks.Pass(text);
        out.Append(ascii);
    };

    std::size_t pos = layout.start;
    while (pos < size) {
        const std::size_t ascii = AsciiRunLength(data + pos, data + size);
        if (piece.empty() || ascii > kJoinedAscii || pos + ascii == size) {
            if (!piece.empty())
                mapAndEncode(piece.size());
            copyAscii(bytes.subspan(pos, ascii));
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

// The Chinese mappings of the plan, with the rules between them when given; `mapped`, when given,
// counts what the mappings changed.
std::u16string MapAndApplyRules(std::u16string text, const MappingPlan& plan, const RuleTable* rules,
                                const CodePage* keeps, MappedCharacters* mapped)
{
    if (plan.toSimplified == nullptr) {
        if (rules)
            rules->ApplyRules(text);
        return text;
    }
    std::u16string simplified = LinkTargets::MapOutside(*plan.toSimplified, text, keeps);
    if (plan.keepsUntouchedText && rules) {
        std::u16string ruled = simplified;
        rules->ApplyRules(ruled);
        return TraditionalAfterRules(text, simplified, ruled, *plan.toTraditional, keeps, mapped);
    }
    // Rules move text about, so each mapping is compared with its own input; without them the text is
    // compared as a whole, as it is in pieces.
    if (rules) {
        if (mapped)
            mapped->Compare(text, simplified);
        rules->ApplyRules(simplified);
        if (!plan.toTraditional)
            return simplified;
        std::u16string out = LinkTargets::MapOutside(*plan.toTraditional, simplified, keeps);
        if (mapped)
            mapped->Compare(simplified, out);
        return out;
    }
    std::u16string out =
        plan.toTraditional ? LinkTargets::MapOutside(*plan.toTraditional, simplified, keeps) : std::move(simplified);
    if (mapped)
        mapped->Compare(text, out);
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

// Closes the file opened for reading when the conversion is done with it, which lets go of its lock.
struct OpenedFile
{
    int fd;
    ~OpenedFile() { ::close(fd); }
};

// Reads a whole regular file into memory that is not cleared first.
Result<WholeFile> ReadWholeFile(int fd)
{
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

ByteView Bom(const ConvertOptions& options)
{
    return options.target == EncodingId::Utf8 && options.writeBom ? ByteView(kUtf8Bom) : ByteView();
}

// File content to its converted bytes (without the byte-order mark), read as ChooseSourceReading
// says, which `reading` is told. With rules, whose work needs the whole text, the content is let go
// as soon as it is decoded, unless it is to be kept.
Result<ByteBuffer> ConvertContent(ByteBuffer& content, const ConvertOptions& options, const RuleTable& rules,
                                  ConversionNotes& notes, bool keepContent)
{
    SourceReading& reading = notes.reading;
    SourceChoice chosen = ChooseSource(content, options.guessSource ? std::nullopt : std::optional(options.source),
                                       options.target, options.applyRules, options.trustSource);
    if (!chosen.reading) {
        const Status refused = Status::Failure(chosen.refusal->Code(), DescribeRefusal(*chosen.refusal));
        notes.refusal = std::move(chosen.refusal);
        return refused;
    }
    reading = *chosen.reading;
    // A declared source still decides the mapping of a file that a byte-order mark makes UTF-8.
    ConvertOptions used = options;
    if (options.guessSource)
        used.source = reading.encoding;
    if (!used.applyRules)
        return ConvertFileBytes(content, used, rules, kDefaultPieceUnits, &notes);
    Result<std::u16string> text = DecodeFileBytes(content, used.source);
    if (!keepContent)
        content = ByteBuffer();
    if (!text)
        return text.status();
    return ConvertText(std::move(*text), used, rules, &notes);
}

// Whether converting the backup gives the file's content, to this run's target or another one: the
// file is then the backup's conversion, which converting again would garble (another run may have
// converted it to BIG5 while this one converts to UTF-8), and replacing the backup would lose the
// original. A backup that holds the file's own bytes loses nothing.
bool ConvertsTo(const std::filesystem::path& backup, ByteView content, const ConvertOptions& options,
                const RuleTable& rules)
{
    std::filesystem::path path = backup;
    const Result<int> fd = OpenSource(path);
    if (!fd)
        return false;
    const OpenedFile opened{*fd};
    Result<WholeFile> held = ReadWholeFile(*fd);
    if (!held ||
        std::equal(content.begin(), content.end(), held->content.data(), held->content.data() + held->content.size()))
        return false;
    const auto is = [content](ByteView prefix, ByteView converted) {
        return content.size() == prefix.size() + converted.size() &&
               std::equal(prefix.begin(), prefix.end(), content.begin()) &&
               std::equal(converted.begin(), converted.end(),
                          content.begin() + static_cast<std::ptrdiff_t>(prefix.size()));
    };
    const std::array<EncodingId, 3> targets{options.target,
                                            options.target == EncodingId::Gb ? EncodingId::Big5 : EncodingId::Gb,
                                            options.target == EncodingId::Utf8 ? EncodingId::Big5 : EncodingId::Utf8};
    for (const EncodingId target : targets) {
        ConvertOptions other = options;
        other.target = target;
        ConversionNotes notes;
        const Result<ByteBuffer> again = ConvertContent(held->content, other, rules, notes, true);
        // Another run may have written a byte-order mark, or not, whatever this one is asked to do.
        if (again && (is({}, *again) || (target == EncodingId::Utf8 && is(ByteView(kUtf8Bom), *again))))
            return true;
    }
    return false;
}

Status ConvertFileUnguarded(const std::filesystem::path& givenPath, const ConvertOptions& givenOptions,
                            const RuleTable& rules, const FileSystemCalls& calls, ConversionNotes& notes)
{
    std::filesystem::path path = givenPath;
    const Result<int> fd = OpenSource(path);
    if (!fd)
        return fd.status();
    const OpenedFile opened{*fd};
    // Held until the new file is in place: another run that read the file meanwhile would otherwise
    // back up and replace this run's result, and the original with it. A dry run, which writes
    // nothing, must not hold up a real one.
    if (!givenOptions.dryRun && calls.Lock(*fd) == EWOULDBLOCK)
        return Status::Failure(StatusCode::BeingConverted, "being converted by another run");
    Result<WholeFile> file = ReadWholeFile(*fd);
    if (!file)
        return file.status();
    notes.file = path;
    ConvertOptions options = givenOptions;
    options.unmappableAsReferences = options.unmappableAsReferences && TakesCharacterReferences(path);
    notes.bytesRead = file->content.size();
    const struct stat& info = file->info;
    const FileOwnership ownership{info.st_mode, info.st_uid, info.st_gid};
    std::filesystem::path backup = path;
    backup += ".bak";
    const std::filesystem::path latestBackup = LatestBackup(backup, options.backupMode);
    std::error_code ec;
    const bool backupHeld =
        options.keepBackup && std::filesystem::is_regular_file(std::filesystem::symlink_status(latestBackup, ec));
    Result<ByteBuffer> converted = ConvertContent(file->content, options, rules, notes, backupHeld || options.record);
    if (!converted)
        return converted.status();
    // Too short a text may not tell a second run from a first; its backup does, and it is the
    // original that a second run would replace.
    if (backupHeld && ConvertsTo(latestBackup, file->content, options, rules))
        return Status::Failure(StatusCode::WrongEncoding, "converted already: it is what converting " +
                                                              latestBackup.filename().string() + " gives");
    const std::array<ByteView, 2> pieces{Bom(options), ByteView(*converted)};
    notes.bytesWritten = pieces[0].size() + pieces[1].size();
    if (options.record) {
        Sha256 original;
        Sha256 written;
        written.Add(pieces[0]);
        Sha256::AddBoth(original, file->content, written, pieces[1]);
        notes.originalSha256 = original.HexDigest();
        notes.writtenSha256 = written.HexDigest();
    }
    file->content = ByteBuffer();

    // Decided on the mode bits, not on what the kernel allows, so root gets the same answer.
    if (!options.keepBackup && (ownership.mode & 0222) == 0)
        return Status::Failure(StatusCode::Permission, "the file is read-only");

    ReplaceOptions replace;
    replace.ownership = ownership;
    replace.expected = IdentityOfOpenFile(*fd, info, calls);
    replace.source = *fd;
    replace.sync = options.sync;
    if (options.keepBackup) {
        replace.backup = backup;
        replace.backupMode = options.backupMode;
    }
    if (options.dryRun)
        return CheckReplaceable(path, replace, calls);
    ReplaceNotes replaced;
    Status result = ReplaceFile(path, pieces, replace, calls, &replaced);
    notes.backup = std::move(replaced.backup);
    notes.replacedOtherBackup = replaced.replacedOtherBackup;
    notes.notKept = std::move(replaced.notKept);
    return result;
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

bool TakesCharacterReferences(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const char* markup : {".htm", ".html", ".shtml", ".xhtml", ".xml"}) {
        if (extension == markup)
            return true;
    }
    return false;
}

Result<ByteBuffer> ConvertText(std::u16string text, const ConvertOptions& options, const RuleTable& rules,
                               ConversionNotes* notes)
{
    // The declarations are rewritten in the text as decoded, as they are in the bytes of a conversion
    // in pieces, and before the rules, which have the last word.
    if (options.rewriteDeclarations) {
        // The declarations name what the bytes were, which a byte-order mark may have decided.
        const EncodingId readAs = notes ? notes->reading.encoding : options.source;
        const DeclarationCount count = RewriteCharsetDeclarations(text, readAs, options.target);
        if (notes)
            notes->declarations = count;
    }
    text = MapAndApplyRules(std::move(text), PlanMapping(options.source, options.target, options.applyRules),
                            options.applyRules ? &rules : nullptr, LinkKeeps(options),
                            notes && options.dryRun ? &notes->mapped : nullptr);
    MarkForTarget(text, options, notes);
    if (text.empty() && options.target != EncodingId::Utf8)
        return EmptyResult(options.target);
    ByteBuffer bytes;
    EncodeAppend(options.target, text, bytes);
    return bytes;
}

Result<ByteBuffer> ConvertFileBytes(ByteView bytes, const ConvertOptions& options, const RuleTable& rules,
                                    std::size_t pieceUnits, ConversionNotes* notes)
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
        // Without a caller's notes the reading is what the bytes say: a byte-order mark makes UTF-8.
        ConversionNotes own;
        own.reading.encoding = HasUtf8Bom(bytes) ? EncodingId::Utf8 : options.source;
        return ConvertText(std::move(*text), options, rules, notes ? notes : &own);
    }
    const Result<TextLayout> layout = InspectFileBytes(bytes, options.source);
    if (!layout)
        return layout.status();
    pieceUnits = std::max<std::size_t>(pieceUnits, 1);
    if (options.rewriteDeclarations) {
        // Declarations are ASCII, so they are rewritten in the bytes and the text still goes in pieces.
        Bytes rewritten;
        const DeclarationCount count = RewriteCharsetDeclarations(bytes, layout->start, layout->encoding,
                                                                  layout->encoding, options.target, rewritten);
        if (notes)
            notes->declarations = count;
        if (count.rewritten == 0)
            return ConvertInPieces(bytes, *layout, options, pieceUnits, notes);
        Result<ByteBuffer> converted = ConvertInPieces(rewritten, *layout, options, pieceUnits, notes);
        // A failure names its offset in the file as it is, before any label changed length.
        if (!converted)
            return ConvertInPieces(bytes, *layout, options, pieceUnits, nullptr).status();
        return converted;
    }
    return ConvertInPieces(bytes, *layout, options, pieceUnits, notes);
}

Status ConvertFile(const std::filesystem::path& path, const ConvertOptions& options, const RuleTable& rules,
                   const FileSystemCalls& calls, ConversionNotes* notes)
{
    // The one place where exceptions stop: one file must never end the run.
    try {
        ConversionNotes unused;
        return ConvertFileUnguarded(path, options, rules, calls, notes ? *notes : unused);
    } catch (const std::bad_alloc&) {
        return Status::Failure(StatusCode::OutOfMemory, "not enough memory for this file");
    } catch (const std::exception& e) {
        return Status::Failure(StatusCode::MappingFailed, e.what());
    }
}

} // namespace veltran
