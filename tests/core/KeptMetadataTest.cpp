// The new file takes over the original's owner, group, ACL and extended attributes; what it cannot
// take over is said, file by file, and the conversion still succeeds.
#include "FileConverter.h"

#include "ChineseTextFixtures.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ScriptedFileCalls;
using test::TempDir;
using test::WriteFile;

constexpr uid_t kOwner = 54321;
constexpr gid_t kGroup = 54322;
const std::string kAcl = "system.posix_acl_access";
const std::string kAttribute = "user.veltran";

// An access ACL as the kernel stores it: owner rw, user 65534 r, group r, mask r, others r.
std::string AclGivingNobodyRead()
{
    std::string value;
    const auto add32 = [&value](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            value += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        add32(tag | (static_cast<std::uint32_t>(perm) << 16));
        add32(id);
    };
    add32(2); // version
    entry(0x01, 6, 0xFFFFFFFF);
    entry(0x02, 4, 65534);
    entry(0x04, 4, 0xFFFFFFFF);
    entry(0x10, 4, 0xFFFFFFFF);
    entry(0x20, 4, 0xFFFFFFFF);
    return value;
}

std::string Attribute(const fs::path& file, const std::string& name)
{
    char buffer[256];
    const ssize_t size = ::getxattr(file.c_str(), name.c_str(), buffer, sizeof buffer);
    return size < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(size));
}

struct MetadataCase
{
    const char* name;
    std::vector<std::string> refusedCalls; // failed with `error`...
    std::string refusedOn;                 // ...for this attribute only (empty: every such call)
    int error;
    bool ownerKept;
    bool groupKept;
    std::vector<std::string> notKept;
};

class KeptMetadata : public ::testing::TestWithParam<MetadataCase>
{
};

TEST_P(KeptMetadata, IsKeptOrSaid)
{
    const MetadataCase& c = GetParam();
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give the original another owner";
    TempDir dir;
    const fs::path file = dir / "a.htm";
    WriteFile(file, fixtures::kGbSentence);
    ASSERT_EQ(::chown(file.c_str(), kOwner, kGroup), 0);
    if (::setxattr(file.c_str(), kAcl.c_str(), AclGivingNobodyRead().data(), AclGivingNobodyRead().size(), 0) != 0 ||
        ::setxattr(file.c_str(), kAttribute.c_str(), "kept", 4, 0) != 0)
        GTEST_SKIP() << "the temporary folder's file system keeps no ACLs or user attributes";
    const std::string acl = Attribute(file, kAcl);

    const ScriptedFileCalls calls([&c](const std::string& call, const fs::path& on) {
        const bool refused = std::find(c.refusedCalls.begin(), c.refusedCalls.end(), call) != c.refusedCalls.end();
        return refused && (c.refusedOn.empty() || on == c.refusedOn) ? c.error : 0;
    });
    ConvertOptions options;
    options.text.target = EncodingId::Utf8;
    ConversionNotes notes;
    ASSERT_TRUE(ConvertFile(file, options, RuleTable(), calls, &notes));

    struct stat info = {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid == kOwner, c.ownerKept);
    EXPECT_EQ(info.st_gid == kGroup, c.groupKept);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(notes.notKept, c.notKept);
    const bool aclRefused = c.refusedOn == kAcl;
    const bool attributeRefused = c.refusedOn == kAttribute;
    EXPECT_EQ(Attribute(file, kAcl), aclRefused ? std::string() : acl);
    EXPECT_EQ(Attribute(file, kAttribute), attributeRefused ? std::string() : std::string("kept"));
    // The backup is the original itself, with all of it.
    EXPECT_EQ(Attribute(dir / "a.htm.bak", kAttribute), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    FileConverter, KeptMetadata,
    ::testing::Values(
        MetadataCase{"Everything", {}, "", 0, true, true, {}},
        MetadataCase{"GroupWhereTheOwnerCannotBeGiven",
                     {"chown"},
                     "",
                     EPERM,
                     false,
                     true,
                     {"owner 54321 not kept: Operation not permitted"}},
        MetadataCase{
            "NeitherOwnerNorGroup",
            {"chown", "chgrp"},
            "",
            EPERM,
            false,
            false,
            {"owner 54321 not kept: Operation not permitted", "group 54322 not kept: Operation not permitted"}},
        MetadataCase{
            "AclRefused", {"setxattr"}, kAcl, EOPNOTSUPP, true, true, {"ACL not kept: Operation not supported"}},
        MetadataCase{"AttributeRefused",
                     {"setxattr"},
                     kAttribute,
                     EPERM,
                     true,
                     true,
                     {"extended attribute user.veltran not kept: Operation not permitted"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
