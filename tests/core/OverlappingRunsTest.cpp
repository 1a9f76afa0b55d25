// Two runs over one file at once: whatever moment of the first run the second one comes in at, no
// original is lost and a run that says it converted the file did.
#include "FileBytesConversion.h"
#include "FileConverter.h"

#include "ChineseTextFixtures.h"
#include "ScriptedFileCalls.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace veltran {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScriptedFileCalls;
using test::TempDir;
using test::WriteFile;

struct OverlapCase
{
    const char* name;
    EncodingId firstTarget;
    EncodingId secondTarget;
};

class OverlappingRuns : public ::testing::TestWithParam<OverlapCase>
{
};

ConvertOptions FromGb(EncodingId target)
{
    ConvertOptions options;
    options.text.source = EncodingId::Gb;
    options.text.target = target;
    return options;
}

Bytes Converted(const Bytes& original, EncodingId target)
{
    const Result<ByteBuffer> bytes = ConvertFileBytes(original, FromGb(target).text, RuleTable());
    return Bytes(bytes->data(), bytes->data() + bytes->size());
}

TEST_P(OverlappingRuns, LoseNoOriginal)
{
    const OverlapCase& c = GetParam();
    const Bytes original = fixtures::kGbSentence;
    const Bytes first = Converted(original, c.firstTarget);
    const Bytes second = Converted(original, c.secondTarget);

    const TempDir scratch;
    WriteFile(scratch / "a.htm", original);
    const ScriptedFileCalls alone;
    ASSERT_TRUE(ConvertFile(scratch / "a.htm", FromGb(c.firstTarget), RuleTable(), alone));
    const std::size_t steps = alone.Trace().size();

    bool secondLockedOut = false;
    for (std::size_t n = 1; n <= steps; ++n) {
        SCOPED_TRACE(testing::Message() << "second run before call " << n << " of the first");
        const TempDir dir;
        const fs::path file = dir / "a.htm";
        WriteFile(file, original);
        Status secondResult;
        std::size_t count = 0;
        const ScriptedFileCalls calls([&](const std::string&, const fs::path&) {
            if (++count == n)
                secondResult = ConvertFile(file, FromGb(c.secondTarget), RuleTable());
            return 0;
        });
        const Status firstResult = ConvertFile(file, FromGb(c.firstTarget), RuleTable(), calls);

        const Bytes now = ReadFile(file);
        if (firstResult)
            EXPECT_EQ(now, first);
        else if (secondResult)
            EXPECT_EQ(now, second);
        else
            EXPECT_EQ(now, original);
        if (now != original) {
            EXPECT_EQ(ReadFile(dir / "a.htm.bak"), original);
        }
        EXPECT_LE(dir.Entries().size(), 2u) << "a stray file";
        secondLockedOut = secondLockedOut || secondResult.code == StatusCode::BeingConverted;
        if (secondResult.code == StatusCode::BeingConverted) {
            EXPECT_EQ(secondResult.message, "being converted by another run");
        }
    }
    EXPECT_TRUE(secondLockedOut) << "the second run never met the first one's lock";
}

INSTANTIATE_TEST_SUITE_P(FileConverter, OverlappingRuns,
                         ::testing::Values(OverlapCase{"SameRunTwice", EncodingId::Utf8, EncodingId::Utf8},
                                           OverlapCase{"ToBig5AndToUtf8", EncodingId::Big5, EncodingId::Utf8},
                                           OverlapCase{"ToUtf8AndToBig5", EncodingId::Utf8, EncodingId::Big5}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltran
