#include "AsciiRun.h"
#include "UnitSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace veltran {
namespace {

// The scans go a block at a time and finish unit by unit, so what ends a run or is found must be
// found at every offset of a block, at its edges and in the tail, in texts of every length up to a
// few blocks. `decoy` fills the text in the searches and must never be taken for '"' or '<'.
template <typename Unit> void CheckScansAtEveryOffset(Unit nonAscii, Unit decoy)
{
    for (std::size_t size = 0; size <= 40; ++size) {
        for (std::size_t at = 0; at <= size; ++at) {
            SCOPED_TRACE(testing::Message() << "unit size " << sizeof(Unit) << ", text of " << size << ", at " << at);
            std::vector<Unit> ascii(size, Unit{'a'});
            if (at < size)
                ascii[at] = nonAscii;
            EXPECT_EQ(AsciiRunLength(ascii.data(), ascii.data() + size), at);

            // Two hits, so that the first and the last differ.
            std::vector<Unit> text(size, decoy);
            const std::size_t second = std::min(at + 3, size);
            if (second < size)
                text[second] = Unit{'<'};
            if (at < size)
                text[at] = Unit{'"'};
            const Unit* const begin = text.data();
            const Unit* const end = begin + size;
            EXPECT_EQ(FindEither(begin, end, Unit{'"'}, Unit{'<'}), begin + at);
            EXPECT_EQ(FindLastEither(begin, end, Unit{'"'}, Unit{'<'}),
                      second < size ? begin + second : (at < size ? begin + at : end));
        }
    }
}

TEST(UnitScan, FindsAtEveryOffsetWhatThePlainLoopsFind)
{
    // Bytes: a GB lead byte, a BIG5 trail byte.
    CheckScansAtEveryOffset<std::uint8_t>(0xB0, 'a');
    CheckScansAtEveryOffset<std::uint8_t>(0xFF, 0xA4);
    // UTF-16: a Chinese character; units whose bytes hold a quote or '<' but are neither.
    CheckScansAtEveryOffset<char16_t>(u'\u4E2D', u'\u0122');
    CheckScansAtEveryOffset<char16_t>(u'\u0080', u'\u3C3C');
    CheckScansAtEveryOffset<char16_t>(u'\u0141', u'\u223C');
}

} // namespace
} // namespace veltran
