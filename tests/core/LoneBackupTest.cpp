// A page missing while its backup is there alone (a run killed between its two renames by an older
// version, or a page moved away) is put back by the next run, never over a file, then converted.

#include "FileConverter.h"

#include "ConversionFixtures.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::kGbJianTi;
using test::kUtf8JianTi;

const std::string kTheirs = "someone else's page";

struct PutBackCase
{
    const char* name;
    std::vector<std::string> backups;  // made in this order, each holding the GB original but the last
    std::map<std::string, int> refuse; // calls of the seam failed with an errno
    std::string raceAt;                // the call before which another page appears at the path
    bool dryRun;
    StatusCode code;
    std::map<std::string, std::string> after; // the folder afterwards
};

void PrintTo(const PutBackCase& c, std::ostream* out)
{
    *out << c.name;
}

class LoneBackupTest : public ::testing::TestWithParam<PutBackCase>
{
};

TEST_P(LoneBackupTest, IsPutBackNeverOverAFile)
{
    const PutBackCase& c = GetParam();
    test::TempDir dir;
    const fs::path page = dir / "page.htm";
    for (std::size_t i = 0; i < c.backups.size(); ++i)
        test::WriteFile(dir / c.backups[i], i + 1 == c.backups.size() ? kGbJianTi : "older");
    const test::ScriptedFileCalls calls([&](const std::string& call, const fs::path& path) {
        if (call == c.raceAt && path == page)
            test::WriteFile(page, kTheirs);
        const auto refused = c.refuse.find(call);
        return refused == c.refuse.end() ? 0 : refused->second;
    });
    ConvertOptions options = test::Options(EncodingId::Gb, EncodingId::Utf8);
    options.disk.dryRun = c.dryRun;
    options.disk.backupMode = BackupMode::Existing;
    ConversionNotes notes;

    const Status result = ConvertFile(page, options, RuleTable(), calls, &notes);

    EXPECT_EQ(result.code, c.code) << result.message;
    EXPECT_EQ(test::Snapshot(dir.Path()), c.after);
    EXPECT_EQ(notes.putBackFrom.empty(), c.code != StatusCode::Ok);
}

const std::map<std::string, std::string> kConverted{{"page.htm", kUtf8JianTi}, {"page.htm.bak", kGbJianTi}};
const std::map<std::string, std::string> kRaced{{"page.htm", kTheirs}, {"page.htm.bak", kGbJianTi}};

INSTANTIATE_TEST_SUITE_P(
    Cases, LoneBackupTest,
    ::testing::Values(
        PutBackCase{"SimpleBackup", {"page.htm.bak"}, {}, "", false, StatusCode::Ok, kConverted},
        PutBackCase{"HighestNumberedBackup",
                    {"page.htm.bak.~1~", "page.htm.bak.~2~"},
                    {},
                    "",
                    false,
                    StatusCode::Ok,
                    {{"page.htm", kUtf8JianTi}, {"page.htm.bak.~1~", "older"}, {"page.htm.bak.~2~", kGbJianTi}}},
        PutBackCase{"NoConditionalRename",
                    {"page.htm.bak"},
                    {{"rename-noreplace", EINVAL}},
                    "",
                    false,
                    StatusCode::Ok,
                    kConverted},
        PutBackCase{"NeitherConditionalRenameNorHardLinks",
                    {"page.htm.bak"},
                    {{"rename-noreplace", EINVAL}, {"link", EPERM}, {"link-fd", EPERM}, {"open-unnamed", EOPNOTSUPP}},
                    "",
                    false,
                    StatusCode::Ok,
                    kConverted},
        PutBackCase{
            "DryRunChangesNothing", {"page.htm.bak"}, {}, "", true, StatusCode::Ok, {{"page.htm.bak", kGbJianTi}}},
        PutBackCase{"PageAppearsBeforeTheRename",
                    {"page.htm.bak"},
                    {},
                    "rename-noreplace",
                    false,
                    StatusCode::NotPutBack,
                    kRaced},
        PutBackCase{"PageAppearsBeforeTheLink",
                    {"page.htm.bak"},
                    {{"rename-noreplace", EINVAL}},
                    "link",
                    false,
                    StatusCode::NotPutBack,
                    kRaced},
        PutBackCase{"PageAppearsBeforeTheCheckedRename",
                    {"page.htm.bak"},
                    {{"rename-noreplace", EINVAL}, {"link", EPERM}},
                    "link",
                    false,
                    StatusCode::NotPutBack,
                    kRaced}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoneBackupTest, LinkThatPointsNowhereIsNotMissing)
{
    test::TempDir dir;
    fs::create_symlink("gone.htm", dir / "page.htm");
    test::WriteFile(dir / "page.htm.bak", kGbJianTi);
    const Status result = ConvertFile(dir / "page.htm", test::Options(EncodingId::Gb, EncodingId::Utf8), RuleTable());
    EXPECT_EQ(result.code, StatusCode::LinkToNothing);
    EXPECT_EQ(test::Snapshot(dir.Path()),
              (std::map<std::string, std::string>{{"page.htm", "link to gone.htm"}, {"page.htm.bak", kGbJianTi}}));
}

} // namespace
} // namespace veltran
