#include "MappingTablesFile.h"

#include "Sha256.h"
#include "SystemError.h"
#include "TableBlobWriter.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {
namespace {

std::string Hex(const std::array<std::uint8_t, 32>& digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

// What is wrong with the bytes of a tables file, or an empty text when nothing is.
std::string Fault(const std::byte* data, std::size_t size)
{
    MappingTablesHeader header;
    if (size < sizeof header)
        return "too short to be a tables file";
    std::memcpy(&header, data, sizeof header);
    if (std::string_view(header.magic.data(), header.magic.size()) != kMappingTablesMagic)
        return "not a Veltran mapping tables file";
    if (header.byteOrder != kByteOrderMark)
        return "made for a machine of another byte order";
    if (header.version != kMappingTablesVersion || header.chainCount != kMappingChainCount)
        return "of another version of Veltran (format " + std::to_string(header.version) + ")";
    for (const MappingTablesEntry& entry : header.chains) {
        if (entry.offset % kMappingTablesAlignment != 0 || entry.offset > size || entry.size > size - entry.offset)
            return "cut short or damaged: a table lies outside the file";
    }
    const auto end = static_cast<std::size_t>(header.chains.back().offset + header.chains.back().size);
    if (end != size)
        return "damaged: " + std::to_string(size - end) + " bytes after its last table";
    for (const MappingTablesEntry& entry : header.chains) {
        if (entry.size < kTableBlobMagic.size() ||
            std::memcmp(data + entry.offset, kTableBlobMagic.data(), kTableBlobMagic.size()) != 0)
            return "of another version of Veltran (its tables' layout differs)";
    }
    return {};
}

Status Failed(const std::filesystem::path& path, const std::string& what)
{
    return Status::Failure(StatusCode::BadInput, "the Chinese mapping tables " + path.string() + " are " + what);
}

} // namespace

Result<std::unique_ptr<const MappingTablesFile>> MappingTablesFile::Open(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::Failure(StatusCode::BadInput, "the Chinese mapping tables " + path.string() +
                                                         " cannot be read: " + SystemErrorText(errno));
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
        ::close(fd);
        return Failed(path, "not a tables file (empty or not a regular file)");
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (mapping == MAP_FAILED)
        return Status::Failure(StatusCode::BadInput, "the Chinese mapping tables " + path.string() +
                                                         " cannot be mapped: " + SystemErrorText(errno));
    std::unique_ptr<const MappingTablesFile> file(new MappingTablesFile(path, mapping, size));
    if (const std::string fault = Fault(static_cast<const std::byte*>(mapping), size); !fault.empty())
        return Failed(path, fault);
    return file;
}

Status MappingTablesFile::CheckDigests() const
{
    MappingTablesHeader header;
    std::memcpy(&header, m_mapping, sizeof header);
    // The chains side by side: this is most of what a start costs.
    std::array<std::future<bool>, kMappingChainCount> matches;
    for (std::size_t i = 0; i < kMappingChainCount; ++i) {
        const std::span<const std::byte> tables = Chain(static_cast<MappingChainId>(i));
        matches[i] = std::async(std::launch::async, [tables, expected = header.chains[i].sha256] {
            return Sha256::Of(ByteView(reinterpret_cast<const std::uint8_t*>(tables.data()), tables.size())) ==
                   Hex(expected);
        });
    }
    bool allMatch = true;
    for (std::future<bool>& match : matches)
        allMatch = match.get() && allMatch;
    return allMatch ? Status() : Failed(m_path, "damaged: a table's SHA-256 does not match");
}

MappingTablesFile::~MappingTablesFile()
{
    ::munmap(const_cast<void*>(m_mapping), m_size);
}

std::span<const std::byte> MappingTablesFile::Chain(MappingChainId chain) const
{
    MappingTablesHeader header;
    std::memcpy(&header, m_mapping, sizeof header);
    const MappingTablesEntry& entry = header.chains[static_cast<std::size_t>(chain)];
    return {static_cast<const std::byte*>(m_mapping) + entry.offset, static_cast<std::size_t>(entry.size)};
}

std::filesystem::path MappingTablesPath()
{
    if (const char* given = std::getenv("VELTRAN_MAPPING_TABLES"); given != nullptr && *given != '\0')
        return given;
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return program.parent_path().parent_path() / "lib" / "veltran" / "mapping.tables";
}

Result<const MappingTablesFile*> LoadMappingTables()
{
    static const Result<std::unique_ptr<const MappingTablesFile>> loaded = MappingTablesFile::Open(MappingTablesPath());
    if (!loaded)
        return loaded.status();
    return loaded->get();
}

} // namespace veltran
