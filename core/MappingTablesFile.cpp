#include "MappingTablesFile.h"

#include "Sha256.h"
#include "TableBlobWriter.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltran {
namespace {

// What is wrong with the bytes of a tables file, if anything.
std::optional<MappingTablesFault> Fault(const std::byte* data, std::size_t size)
{
    using F = MappingTablesFault;
    MappingTablesHeader header;
    if (size < sizeof header)
        return F::TooShort;
    std::memcpy(&header, data, sizeof header);
    if (std::string_view(header.magic.data(), header.magic.size()) != kMappingTablesMagic)
        return F::NotTablesFile;
    if (header.byteOrder != kByteOrderMark)
        return F::ByteOrder;
    if (header.version != kMappingTablesVersion || header.chainCount != kMappingChainCount)
        return F::Version;
    for (const MappingTablesEntry& entry : header.chains) {
        if (entry.offset % kMappingTablesAlignment != 0 || entry.offset > size || entry.size > size - entry.offset)
            return F::TableOutside;
    }
    const auto end = static_cast<std::size_t>(header.chains.back().offset + header.chains.back().size);
    if (end != size)
        return F::TrailingBytes;
    for (const MappingTablesEntry& entry : header.chains) {
        if (entry.size < kTableBlobMagic.size() ||
            std::memcmp(data + entry.offset, kTableBlobMagic.data(), kTableBlobMagic.size()) != 0)
            return F::LayoutDiffers;
    }
    return std::nullopt;
}

Status Damaged(const std::filesystem::path& path, MappingTablesFault fault)
{
    return Status::Failure(StatusCode::TablesDamaged,
                           {.number = static_cast<std::uint64_t>(fault), .name = path.string()});
}

Status Unreadable(const std::filesystem::path& path, int error)
{
    return Status::Failure(StatusCode::TablesUnreadable, {.systemError = error, .name = path.string()});
}

} // namespace

Result<std::unique_ptr<const MappingTablesFile>> MappingTablesFile::Open(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Unreadable(path, errno);
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
        ::close(fd);
        return Damaged(path, MappingTablesFault::NotRegular);
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (mapping == MAP_FAILED)
        return Unreadable(path, errno);
    std::unique_ptr<const MappingTablesFile> file(new MappingTablesFile(path, mapping, size));
    if (const std::optional<MappingTablesFault> fault = Fault(static_cast<const std::byte*>(mapping), size))
        return Damaged(path, *fault);
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
            Sha256 hash;
            hash.Add(ByteView(reinterpret_cast<const std::uint8_t*>(tables.data()), tables.size()));
            return hash.Digest() == expected;
        });
    }
    bool allMatch = true;
    for (std::future<bool>& match : matches)
        allMatch = match.get() && allMatch;
    return allMatch ? Status() : Damaged(m_path, MappingTablesFault::DigestMismatch);
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
