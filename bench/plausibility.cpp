// Measures the plausibility judgement on real pages: the sites bench/plausibility.sh makes from
// Debian's reference manual (GB, BIG5 and UTF-8, and each converted once more by veltran-cli).
//   bench_plausibility SITES
// For every direction it counts the first-run refusals (the page in its real encoding: must be 0)
// and the second-run refusals (the page already converted, read as the old source: should be all);
// then the accuracy of the source guess on every site, and the judgement's cost against one decode.
#include "ReadingPlausibility.h"
#include "SourceEncodingCheck.h"
#include "TextCodecs.h"

#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace veltran;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Page
{
    std::string name;
    Bytes bytes;
};

std::vector<Page> ReadSite(const fs::path& folder)
{
    std::vector<Page> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        pages.push_back({entry.path().filename().string(),
                         Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
    }
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.name < b.name; });
    return pages;
}

// Chinese characters in the page's real reading.
std::size_t HanCount(EncodingId encoding, ByteView bytes)
{
    const DecodeResult decoded = Decode(encoding, bytes);
    if (!decoded.ok())
        return 0;
    const std::u16string& text = *decoded;
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, text.size(), c);
        UErrorCode status = U_ZERO_ERROR;
        count += uscript_getScript(c, &status) == USCRIPT_HAN ? 1 : 0;
    }
    return count;
}

struct Direction
{
    const char* name;
    EncodingId source;
    EncodingId target;
    const char* original;  // pages in the source encoding
    const char* converted; // the same pages after one run
};

constexpr Direction kDirections[] = {
    {"GB -> BIG5", EncodingId::Gb, EncodingId::Big5, "gb", "runs/gb-big5"},
    {"BIG5 -> GB", EncodingId::Big5, EncodingId::Gb, "big5", "runs/big5-gb"},
    {"GB -> UTF-8", EncodingId::Gb, EncodingId::Utf8, "gb", "runs/gb-utf8"},
    {"BIG5 -> UTF-8", EncodingId::Big5, EncodingId::Utf8, "big5", "runs/big5-utf8"},
    {"UTF-8 -> GB", EncodingId::Utf8, EncodingId::Gb, "utf8-cn", "gb"},
    {"UTF-8 -> BIG5", EncodingId::Utf8, EncodingId::Big5, "utf8-tw", "big5"},
};

void MeasureDirection(const fs::path& sites, const Direction& direction)
{
    const std::vector<Page> first = ReadSite(sites / direction.original);
    const std::vector<Page> second = ReadSite(sites / direction.converted);
    std::size_t falseRefusals = 0;
    std::size_t sourceImplausible = 0;
    std::size_t sourceInvalid = 0;
    for (const Page& page : first) {
        const ReadingsJudgement readings = JudgeReadings(page.bytes);
        falseRefusals += WrongSourceReason(readings, direction.source, direction.target) ? 1 : 0;
        sourceImplausible += readings.Of(direction.source).verdict == Plausibility::Implausible ? 1 : 0;
        sourceInvalid += readings.Of(direction.source).verdict == Plausibility::Invalid ? 1 : 0;
    }

    std::size_t chinese = 0;
    std::size_t refused = 0;       // by either check
    std::size_t byDecoding = 0;    // the source reading is invalid: strict decoding refuses the page
    std::size_t byJudgement = 0;   // a reason from the judgement
    std::size_t judgementOnly = 0; // a reason where strict decoding would have converted the page again
    std::size_t fewCharacters = 0; // converted again: fewer than kMinJudged Chinese characters
    std::size_t noChinese = 0;     // converted again: no Chinese text
    std::size_t missed = 0;        // converted again despite enough Chinese text
    std::string missedNames;
    for (const Page& page : second) {
        const std::size_t han = HanCount(direction.target, page.bytes);
        chinese += han > 0 ? 1 : 0;
        const ReadingsJudgement readings = JudgeReadings(page.bytes);
        const bool invalid = readings.Of(direction.source).verdict == Plausibility::Invalid;
        const bool reason = WrongSourceReason(readings, direction.source, direction.target).has_value();
        byDecoding += invalid ? 1 : 0;
        byJudgement += reason ? 1 : 0;
        judgementOnly += reason && !invalid ? 1 : 0;
        if (reason || invalid) {
            ++refused;
        } else if (han == 0) {
            ++noChinese;
        } else if (han < kMinJudged) {
            ++fewCharacters;
        } else {
            ++missed;
            missedNames += " " + page.name;
        }
    }
    std::printf("%-14s first run: %zu pages, %zu refused (source implausible %zu, invalid %zu)\n", direction.name,
                first.size(), falseRefusals, sourceImplausible, sourceInvalid);
    std::printf("%-14s second run: %zu pages, %zu with Chinese text; %zu refused (strict decoding %zu, judgement "
                "%zu, judgement alone %zu); converted again: %zu with 1-%zu Chinese characters, %zu without any, "
                "%zu others%s\n",
                "", second.size(), chinese, refused, byDecoding, byJudgement, judgementOnly, fewCharacters,
                kMinJudged - 1, noChinese, missed, missedNames.c_str());
}

struct GuessSite
{
    const char* folder;
    EncodingId truth;
};

void MeasureGuesses(const fs::path& sites, const GuessSite& site)
{
    const std::vector<Page> pages = ReadSite(sites / site.folder);
    std::size_t right = 0;
    std::size_t asciiOnly = 0;
    std::size_t wrong = 0;
    std::map<std::string, std::size_t> undecided;
    for (const Page& page : pages) {
        const SourceGuess guess = GuessSourceEncoding(page.bytes);
        if (guess.asciiOnly)
            ++asciiOnly;
        else if (!guess.encoding)
            ++undecided[guess.reason.substr(0, guess.reason.find(" ("))];
        else if (*guess.encoding == site.truth)
            ++right;
        else
            ++wrong;
    }
    std::printf("%-14s %zu pages (%s): %zu right, %zu wrong, %zu ASCII only", site.folder, pages.size(),
                std::string(EncodingName(site.truth)).c_str(), right, wrong, asciiOnly);
    for (const auto& [reason, count] : undecided)
        std::printf(", undecided %zu (%s)", count, reason.c_str());
    std::printf("\n");
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

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
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
    std::printf("Refusals (a page is refused when its declared source reading is implausible or invalid and "
                "another reading is plausible)\n");
    for (const Direction& direction : kDirections)
        MeasureDirection(sites, direction);

    MakeGbkTraditionalSite(sites);
    std::printf("\nSource guess (--from auto)\n");
    for (const GuessSite& site :
         {GuessSite{"gb", EncodingId::Gb}, GuessSite{"big5", EncodingId::Big5}, GuessSite{"utf8-cn", EncodingId::Utf8},
          GuessSite{"utf8-tw", EncodingId::Utf8}, GuessSite{"runs/gbk-tw", EncodingId::Gb}})
        MeasureGuesses(sites, site);
    std::printf("runs/gbk-tw first run: ");
    std::size_t refused = 0;
    const std::vector<Page> gbkPages = ReadSite(sites / "runs/gbk-tw");
    for (const Page& page : gbkPages) {
        const ReadingsJudgement readings = JudgeReadings(page.bytes);
        refused += WrongSourceReason(readings, EncodingId::Gb, EncodingId::Big5) ||
                           WrongSourceReason(readings, EncodingId::Gb, EncodingId::Utf8)
                       ? 1
                       : 0;
    }
    std::printf("%zu of %zu pages refused as GB -> BIG5 or GB -> UTF-8\n\n", refused, gbkPages.size());
    MeasureCost(sites);
    return 0;
}
