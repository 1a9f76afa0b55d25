#pragma once

#include "MappingTablesFormat.h"
#include "Status.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>

namespace veltran {

/// What is wrong with a tables file's bytes, as TablesDamaged tells it.
enum class MappingTablesFault
{
    NotRegular,     // empty, or not a regular file
    TooShort,       // shorter than its header
    NotTablesFile,  // another kind of file
    ByteOrder,      // made on a machine of the other byte order
    Version,        // made by another version of the program
    TableOutside,   // a table lies beyond the end: cut short
    TrailingBytes,  // bytes after the last table
    LayoutDiffers,  // a table does not start as the tables of this version do
    DigestMismatch, // a table's bytes do not match its SHA-256
};

/// The Chinese mapping tables, one file shared by the programs, mapped read-only into memory.
class MappingTablesFile
{
public:
    /// Maps the file and checks its layout, which costs next to nothing: its header, that the chains'
    /// tables fill it exactly and start as tables do. Fails with TablesUnreadable (missing or
    /// unreadable) or TablesDamaged and its MappingTablesFault, whose sentence names the file.
    static Result<std::unique_ptr<const MappingTablesFile>> Open(const std::filesystem::path& path);

    ~MappingTablesFile();
    MappingTablesFile(const MappingTablesFile&) = delete;
    MappingTablesFile& operator=(const MappingTablesFile&) = delete;

    /// Checks every byte of the tables against the SHA-256 digests the file holds (about 30 ms for the
    /// whole file); a mismatch fails with TablesDamaged, DigestMismatch.
    Status CheckDigests() const;

    /// The tables of one chain, valid while the file object lives.
    std::span<const std::byte> Chain(MappingChainId chain) const;

private:
    MappingTablesFile(std::filesystem::path path, const void* mapping, std::size_t size)
        : m_path(std::move(path)), m_mapping(mapping), m_size(size)
    {
    }

    std::filesystem::path m_path;
    const void* m_mapping;
    std::size_t m_size;
};

/// Where the programs find the tables file: $VELTRAN_MAPPING_TABLES when set and not empty, else
/// lib/veltran/mapping.tables beside the folder of the running program (/usr/bin/veltran-cli
/// reads /usr/lib/veltran/mapping.tables).
std::filesystem::path MappingTablesPath();

/// Opens the file at MappingTablesPath() once for the whole process; later calls give the first
/// call's result. The mapping chains use it: a program calls it at start to report a failure, and
/// CheckDigests before work whose length makes the check's cost small.
Result<const MappingTablesFile*> LoadMappingTables();

} // namespace veltran
