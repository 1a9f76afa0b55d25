#include "StreamCommand.h"

#include "CharsetHeader.h"
#include "DateTimeText.h"
#include "FileBytesConversion.h"
#include "FileConverter.h"
#include "FileReader.h"
#include "LossMessage.h"
#include "ReplaceFile.h"
#include "ShownName.h"
#include "TextCodecs.h"

#include <array>
#include <cerrno>
#include <unistd.h>

namespace veltran {
namespace {

bool IsStandard(const std::optional<std::filesystem::path>& path)
{
    return !path || *path == "-";
}

Result<ByteBuffer> ReadStandardInput()
{
    ByteBuffer bytes;
    for (;;) {
        constexpr std::size_t kChunk = 1 << 16;
        const std::size_t start = bytes.size();
        std::uint8_t* room = bytes.Extend(kChunk);
        const ssize_t got = ::read(STDIN_FILENO, room, kChunk);
        if (got < 0 && errno == EINTR) {
            bytes.Truncate(start);
            continue;
        }
        if (got < 0)
            return Status::Failure(StatusCode::ReadFailed, {.systemError = errno});
        bytes.Truncate(start + static_cast<std::size_t>(got));
        if (got == 0)
            return bytes;
    }
}

Status WriteStandardOutput(std::span<const ByteView> pieces)
{
    for (ByteView piece : pieces) {
        while (!piece.empty()) {
            const ssize_t written = ::write(STDOUT_FILENO, piece.data(), piece.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                return Status::Failure(StatusCode::WriteFailed, {.systemError = errno});
            piece = piece.subspan(static_cast<std::size_t>(written));
        }
    }
    return {};
}

} // namespace

int RunStreamCommand(const CommandLine& commandLine, RuleTable& rules, bool applyRules,
                     const CliEnvironment& environment)
{
    std::ostream& err = environment.err;
    const std::optional<std::filesystem::path> input =
        commandLine.paths.empty() ? std::nullopt : std::optional(commandLine.paths[0]);
    const std::string inputName = IsStandard(input) ? "standard input" : ShownName(input->native());
    const std::string outputName =
        IsStandard(commandLine.output) ? "standard output" : ShownName(commandLine.output->native());
    std::error_code ec;
    if (!IsStandard(input) && !IsStandard(commandLine.output) &&
        std::filesystem::equivalent(*input, *commandLine.output, ec)) {
        err << "veltran-cli: -o names the file it converts; convert " << inputName
            << " in place instead (without -o)\n";
        return kExitUsage;
    }

    Result<ByteBuffer> content = IsStandard(input) ? ReadStandardInput() : [&]() -> Result<ByteBuffer> {
        Result<FileContent> file = ReadRegularFile(*input);
        if (!file)
            return file.status();
        return std::move(file->bytes);
    }();
    if (!content) {
        err << "veltran-cli: " << inputName << ": " << ShownName(content.status().message) << '\n';
        return kExitSomeFailed;
    }

    TextOptions text = commandLine.conversion.text;
    text.applyRules = applyRules;
    // Standard input has no name to tell a page by: references are written as asked.
    text.unmappableAsReferences =
        text.unmappableAsReferences && (IsStandard(input) || TakesCharacterReferences(*input));
    if (commandLine.charsetHeader)
        MakeCharsetRule(rules, text.target, NowText());
    ConversionNotes notes;
    const Result<ByteBuffer> converted = ConvertContent(*content, text, rules, PipelineNotes{true, false}, notes);
    if (!converted) {
        err << "veltran-cli: " << inputName << ": " << ShownName(converted.status().message) << '\n';
        return kExitSomeFailed;
    }
    const bool bom = text.target == EncodingId::Utf8 && text.writeBom;
    const std::array<ByteView, 2> pieces{bom ? ByteView(kUtf8Bom) : ByteView(), ByteView(*converted)};
    Status written;
    if (IsStandard(commandLine.output)) {
        written = WriteStandardOutput(pieces);
    } else {
        ReplaceOptions options;
        options.sync = commandLine.conversion.disk.sync;
        written = ReplaceFile(*commandLine.output, pieces, options);
    }
    if (!written) {
        err << "veltran-cli: " << outputName << ": " << ShownName(written.message) << '\n';
        return kExitSomeFailed;
    }
    PrintLoss(err, inputName, notes.unmappable, ChosenUnmappableAs(text.unmappableAsReferences, text.dropUnmappable),
              false);
    return kExitSuccess;
}

} // namespace veltran
