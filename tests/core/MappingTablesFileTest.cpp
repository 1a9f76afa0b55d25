#include "MappingTablesFile.h"

#include "Sha256.h"
#include "TableBlobWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

namespace veltran {
namespace {

// A tables file of four small chains, as the table generator lays it out.
std::vector<std::byte> TablesFile()
{
    MappingTablesHeader header;
    std::memcpy(header.magic.data(), kMappingTablesMagic.data(), header.magic.size());
    std::vector<std::byte> file(sizeof header);
    for (std::size_t i = 0; i < kMappingChainCount; ++i) {
        file.resize((file.size() + kMappingTablesAlignment - 1) / kMappingTablesAlignment * kMappingTablesAlignment);
        std::vector<std::uint8_t> chain(100 + i, static_cast<std::uint8_t>(i + 1));
        std::memcpy(chain.data(), kTableBlobMagic.data(), kTableBlobMagic.size());
        const std::string hex = Sha256::Of(ByteView(chain.data(), chain.size()));
        for (std::size_t k = 0; k < header.chains[i].sha256.size(); ++k)
            header.chains[i].sha256[k] = static_cast<std::uint8_t>(std::stoi(hex.substr(k * 2, 2), nullptr, 16));
        header.chains[i].offset = file.size();
        header.chains[i].size = chain.size();
        for (const std::uint8_t byte : chain)
            file.push_back(static_cast<std::byte>(byte));
    }
    std::memcpy(file.data(), &header, sizeof header);
    return file;
}

struct DamageCase
{
    const char* name;
    std::function<void(std::vector<std::byte>&)> damage; // null: no file at all
    const char* errorPart;                               // empty: opens
};

class MappingTablesFileTest : public ::testing::TestWithParam<DamageCase>
{
};

TEST_P(MappingTablesFileTest, OpensOnlyAWholeFileAndSaysWhatIsWrong)
{
    const test::TempDir dir;
    const std::filesystem::path path = dir.Path() / "mapping.tables";
    if (GetParam().damage) {
        std::vector<std::byte> bytes = TablesFile();
        GetParam().damage(bytes);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const auto opened = MappingTablesFile::Open(path);
    const Status checked = opened ? (*opened)->CheckDigests() : opened.status();
    const std::string errorPart = GetParam().errorPart;
    if (errorPart.empty()) {
        ASSERT_TRUE(checked.ok()) << checked.message;
        const std::span<const std::byte> chain = (*opened)->Chain(MappingChainId::StandardTraditional);
        EXPECT_EQ(chain.size(), 103u);
        EXPECT_EQ(chain.back(), std::byte{4});
        return;
    }
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(checked.message.rfind("the Chinese mapping tables " + path.string(), 0), 0u);
    EXPECT_NE(checked.message.find(errorPart), std::string::npos) << checked.message;
}

INSTANTIATE_TEST_SUITE_P(
    Files, MappingTablesFileTest,
    ::testing::Values(
        DamageCase{"Whole", [](std::vector<std::byte>&) {}, ""}, DamageCase{"Missing", nullptr, "cannot be read: "},
        DamageCase{"Empty", [](std::vector<std::byte>& b) { b.clear(); }, "not a tables file"},
        DamageCase{"ShorterThanItsHeader", [](std::vector<std::byte>& b) { b.resize(20); }, "too short"},
        DamageCase{"AnotherKindOfFile", [](std::vector<std::byte>& b) { b[0] = std::byte{'<'}; },
                   "not a Veltran mapping tables file"},
        DamageCase{"AnotherVersion", [](std::vector<std::byte>& b) { b[8] = std::byte{9}; }, "another version"},
        DamageCase{"CutShort", [](std::vector<std::byte>& b) { b.resize(b.size() - 1); }, "cut short"},
        DamageCase{"LongerThanItsTables", [](std::vector<std::byte>& b) { b.push_back(std::byte{0}); },
                   "bytes after its last table"},
        DamageCase{"TablesOfAnotherLayout",
                   [](std::vector<std::byte>& b) {
                       const std::size_t first = (sizeof(MappingTablesHeader) + kMappingTablesAlignment - 1) /
                                                 kMappingTablesAlignment * kMappingTablesAlignment;
                       b[first + 7] = std::byte{'X'};
                   },
                   "layout differs"},
        DamageCase{"ByteChanged", [](std::vector<std::byte>& b) { b[b.size() - 50] ^= std::byte{1}; },
                   "SHA-256 does not match"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
