// Measures the encoding check on real pages: the sites bench/plausibility.sh makes from Debian's
// reference manual (GB, BIG5 and UTF-8).
//   bench_plausibility SITES
// It makes GBK pages that hold Traditional characters (the Traditional pages written in GB as they
// are) and counts how the source guess reads them and whether a GB source is refused for them; then
// it measures what judging the three readings costs against one decode. bench_detection gives the
// refusals and guesses on the sites themselves.
#include "BenchSupport.h"
#include "ReadingPlausibility.h"
#include "SourceEncodingCheck.h"
#include "TextCodecs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace veltran;
namespace fs = std::filesystem;
using Clock = bench::Clock;
using bench::Seconds;

namespace {

using Page = bench::FolderFile;

std::vector<Page> ReadSite(const fs::path& folder)
{
    return bench::ReadFolderFiles(folder);
}

// GBK pages that hold Traditional characters: the Traditional UTF-8 pages written in GB as they are.
void MakeGbkTraditionalSite(const fs::path& sites)
{
    const fs::path folder = sites / "runs/gbk-tw";
    fs::create_directories(folder);
    for (const Page& page : ReadSite(sites / "utf8-tw")) {
        const DecodeResult text = Utf8Decode(page.bytes);
        if (!text.ok())
            continue;
        const Bytes bytes = EncodeGb(*text);
        std::ofstream(folder / page.name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void MeasureCost(const fs::path& sites)
{
    std::vector<Page> pages = ReadSite(sites / "gb");
    const std::vector<Page> more = ReadSite(sites / "utf8-tw");
    pages.insert(pages.end(), more.begin(), more.end());
    std::size_t bytes = 0;
    for (const Page& page : pages)
        bytes += page.bytes.size();
    constexpr int kRounds = 5;
    std::size_t sink = 0;
    const Clock::time_point decodeStart = Clock::now();
    for (int round = 0; round < kRounds; ++round)
        for (const Page& page : pages)
            sink += Decode(EncodingId::Gb, page.bytes)->size();
    const double decode = Seconds(decodeStart);
    const Clock::time_point judgeStart = Clock::now();
    for (int round = 0; round < kRounds; ++round)
        for (const Page& page : pages)
            sink += JudgeReadings(page.bytes).Of(EncodingId::Gb).tally.common;
    const double judge = Seconds(judgeStart);
    std::printf("cost: judging all three readings takes %.1f times one GB decode (%.0f MB/s judged; %zu)\n",
                judge / decode, static_cast<double>(bytes) * kRounds / judge / 1e6, sink % 10);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_plausibility SITES (made by bench/plausibility.sh)\n");
        return 2;
    }
    const fs::path sites = argv[1];
    MakeGbkTraditionalSite(sites);
    std::size_t read = 0;
    std::size_t refused = 0;
    const std::vector<Page> pages = ReadSite(sites / "runs/gbk-tw");
    for (const Page& page : pages) {
        const SourceGuess guess = GuessSourceEncoding(page.bytes);
        read += guess.encoding == EncodingId::Gb ? 1 : 0;
        const ReadingsJudgement readings = JudgeReadings(page.bytes);
        refused += WrongSource(readings, EncodingId::Gb, EncodingId::Big5) ||
                           WrongSource(readings, EncodingId::Gb, EncodingId::Utf8)
                       ? 1
                       : 0;
    }
    std::printf("GBK pages holding Traditional text: %zu pages, %zu read as GB by the guess, %zu refused as GB -> "
                "BIG5 or GB -> UTF-8\n",
                pages.size(), read, refused);
    MeasureCost(sites);
    return 0;
}
