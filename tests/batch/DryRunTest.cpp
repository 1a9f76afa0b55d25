#include "RunJob.h"

#include "QuietRunHost.h"
#include "Sha256.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

// Every name under the folder with its content and modification time.
std::map<fs::path, std::pair<std::vector<std::uint8_t>, fs::file_time_type>> Snapshot(const fs::path& folder)
{
    std::map<fs::path, std::pair<std::vector<std::uint8_t>, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path()] = {entry.is_regular_file() ? test::ReadFile(entry.path()) : std::vector<std::uint8_t>{},
                               entry.last_write_time()};
    return files;
}

// A dry run with every option on leaves the disk as it was, and foretells the real run entry by
// entry: the outcome and its reason, the characters lost, the declarations rewritten, the bytes.
TEST(DryRunTest, ChangesNothingAndForetellsTheRealRun)
{
    TempDir dir;
    fs::create_directory(dir / "news");
    // <meta charset="gb2312"><p>中文ⅰ</p>: ⅰ is not in BIG5.
    WriteFile(dir / "index.htm", "<meta charset=\"gb2312\"><p>\xD6\xD0\xCE\xC4\xA2\xA1</p>");
    WriteFile(dir / "news" / "site.css", "@charset \"GBK\";\nbody { font-family: \"\xCB\xCE\xCC\xE5\"; }\n");
    WriteFile(dir / "news" / "plain.txt", "\xA2\xA1\xD6\xD0");     // no declaration; the ⅰ stays "?"
    WriteFile(dir / "news" / "broken.htm", "<p>\xD6\xFF\xFF</p>"); // not GB
    fs::create_symlink("../index.htm", dir / "news" / "link.htm");

    RunRequest request;
    request.settings = MakeRunSettings(EncodingId::Gb, EncodingId::Big5, true);
    request.settings.conversion.text.rewriteDeclarations = true;
    request.settings.conversion.text.unmappableAsReferences = true;
    request.settings.conversion.record = {true, true};
    request.entries = {dir / "index.htm",           dir / "news" / "site.css", dir / "news" / "plain.txt",
                       dir / "news" / "broken.htm", dir / "news" / "link.htm", dir / "missing.htm"};
    request.logPath = dir / "run.log";
    request.settings.keepRecords = true;

    const auto before = Snapshot(dir.Path());
    RuleTable rules;
    test::QuietRunHost host(false, false);
    RunRequest dryRequest = request;
    dryRequest.settings.conversion.disk.dryRun = true;
    const RunOutcome dry = RunJob(dryRequest, rules, host.Roles());
    EXPECT_EQ(Snapshot(dir.Path()), before) << "a dry run changed the disk";

    const RunOutcome real = RunJob(request, rules, host.Roles());
    ASSERT_EQ(dry.records.size(), request.entries.size());
    ASSERT_EQ(real.records.size(), request.entries.size());
    EXPECT_EQ(dry.failures.size(), 3u) << "broken, the link to a page converted already, missing";
    EXPECT_EQ(dry.failures.size(), real.failures.size());
    for (std::size_t i = 0; i < request.entries.size(); ++i) {
        const EntryRecord& foretold = dry.records[i];
        const EntryRecord& done = real.records[i];
        SCOPED_TRACE(request.entries[i].string());
        EXPECT_EQ(foretold.result.code, done.result.code);
        EXPECT_EQ(foretold.result.message, done.result.message);
        EXPECT_EQ(foretold.notes.unmappable.count, done.notes.unmappable.count);
        EXPECT_EQ(foretold.notes.unmappable.examples, done.notes.unmappable.examples);
        EXPECT_EQ(foretold.notes.declarations.found, done.notes.declarations.found);
        EXPECT_EQ(foretold.notes.declarations.rewritten, done.notes.declarations.rewritten);
        EXPECT_EQ(foretold.notes.bytesWritten, done.notes.bytesWritten);
        EXPECT_EQ(foretold.notes.writtenSha256, done.notes.writtenSha256);
        if (done.result) {
            const std::vector<std::uint8_t> written = test::ReadFile(request.entries[i]);
            EXPECT_EQ(done.notes.writtenSha256, Sha256::Of(ByteView(written.data(), written.size())));
        }
    }
    EXPECT_EQ(dry.records[0].notes.unmappable.count, 1u);
    EXPECT_EQ(dry.records[0].notes.declarations.rewritten, 1u);
    EXPECT_EQ(dry.records[1].notes.declarations.rewritten, 1u);
    EXPECT_EQ(dry.records[2].notes.declarations.found, 0u);
}

} // namespace
} // namespace veltran
