// Measures how well the encoding check tells GB, BIG5 and UTF-8 apart on the sets that
// bench/detection-sets.py makes (tables, tree listings, formulas, kana, short titles, code, full-width
// punctuation, prose) or on any folders of files in one known encoding:
//   bench_detection SETS [--list]
// For each set it prints the confusion table: the files declared right (converted or refused), the
// source guess (right, wrong, undecided; and how many undecided files hold 4 or more Chinese
// characters), and the second runs, in which each file converted once in memory is given again with
// its old source (refused, or converted again). --list names the files behind every figure that
// should be 0.
#include "BenchSupport.h"
#include "FileBytesConversion.h"
#include "RuleTable.h"
#include "SourceEncodingCheck.h"
#include "TextCodecs.h"

#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace veltran;
namespace fs = std::filesystem;

namespace {

using File = bench::FolderFile;

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

// A figure and, with --list, the files behind it.
struct Tally
{
    std::size_t count = 0;
    std::string names;

    void Add(const std::string& name, const std::string& why = {})
    {
        ++count;
        names += "\n      " + name + (why.empty() ? "" : ": " + why);
    }
};

bool g_list = false;

// How much likelier than the declared reading the best other reading that looks like text is, in
// bits: a file is refused at kClearMargin or more. Invalid declared readings count as refused.
std::int64_t Lead(const ReadingsJudgement& readings, EncodingId declared)
{
    std::int64_t lead = -1000000;
    for (const EncodingId other : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8}) {
        const ReadingJudgement& seen = readings.Of(other);
        if (other == declared || !seen.LooksLikeText())
            continue;
        lead = std::max(lead, readings.Of(declared).valid ? readings.Of(declared).cost - seen.cost : 1000000);
    }
    return lead;
}

// The closest calls of one direction: the highest lead of another reading over a right declared
// source, and the lowest over a second run's.
struct Closest
{
    std::int64_t firstRun = -1000000;
    std::string firstName;
    std::int64_t secondRun = 1000000;
    std::string secondName;
};

std::string Shown(const Tally& tally, bool mustBeZero = true)
{
    return std::to_string(tally.count) + (g_list && mustBeZero && tally.count > 0 ? tally.names : "");
}

void MeasureSet(const fs::path& folder, EncodingId truth)
{
    const std::vector<File> files = bench::ReadFolderFiles(folder);
    std::size_t chinese = 0;
    std::size_t fourOrMore = 0;
    for (const File& file : files) {
        const std::size_t han = HanCount(truth, file.bytes);
        chinese += han > 0 ? 1 : 0;
        fourOrMore += han >= 4 ? 1 : 0;
    }
    std::printf("%s (%s): %zu files, %zu with Chinese text, %zu with 4 or more Chinese characters\n",
                folder.filename().c_str(), std::string(EncodingName(truth)).c_str(), files.size(), chinese, fourOrMore);

    const RuleTable rules;
    for (const EncodingId target : {EncodingId::Gb, EncodingId::Big5, EncodingId::Utf8}) {
        if (target == truth)
            continue;
        Tally right;
        Tally refused;
        Tally secondRefused;
        Tally secondConverted; // with Chinese text
        Tally secondNoChinese;
        Closest closest;
        for (const File& file : files) {
            if (const std::int64_t lead = Lead(JudgeReadings(file.bytes), truth); lead > closest.firstRun)
                closest = {lead, file.name, closest.secondRun, closest.secondName};
            const Result<SourceReading> first = ChooseSourceReading(file.bytes, truth, target, false);
            if (first)
                right.Add(file.name);
            else
                refused.Add(file.name, first.status().message);

            TextOptions options;
            options.source = truth;
            options.target = target;
            const Result<ByteBuffer> converted = ConvertFileBytes(file.bytes, options, rules);
            if (!converted)
                continue;
            const ByteView again = *converted;
            const Result<SourceReading> second = ChooseSourceReading(again, truth, target, false);
            if (const std::int64_t lead = Lead(JudgeReadings(again), truth);
                lead < closest.secondRun && HanCount(target, again) > 0) {
                closest.secondRun = lead;
                closest.secondName = file.name;
            }
            if (!second)
                secondRefused.Add(file.name);
            else if (HanCount(target, again) == 0)
                secondNoChinese.Add(file.name);
            else
                secondConverted.Add(file.name);
        }
        std::printf("  declared %-5s -> %-5s  converted %3zu, refused %s;  second run: refused %3zu, converted "
                    "again %s (and %zu without Chinese text)\n",
                    std::string(EncodingName(truth)).c_str(), std::string(EncodingName(target)).c_str(), right.count,
                    Shown(refused).c_str(), secondRefused.count, Shown(secondConverted).c_str(), secondNoChinese.count);
        std::printf("      closest calls (refused at %lld bits or more): first run %lld (%s), second run %lld (%s)\n",
                    static_cast<long long>(kClearMargin), static_cast<long long>(closest.firstRun),
                    closest.firstName.c_str(), static_cast<long long>(closest.secondRun), closest.secondName.c_str());
    }

    Tally right;
    Tally wrong;
    Tally undecided;
    Tally undecidedLong; // with 4 or more Chinese characters
    Tally asciiOnly;
    for (const File& file : files) {
        const SourceGuess guess = GuessSourceEncoding(file.bytes);
        if (guess.asciiOnly)
            asciiOnly.Add(file.name);
        else if (!guess.encoding && HanCount(truth, file.bytes) >= 4)
            undecidedLong.Add(file.name, guess.reason);
        else if (!guess.encoding)
            undecided.Add(file.name, guess.reason);
        else if (*guess.encoding == truth)
            right.Add(file.name);
        else
            wrong.Add(file.name, guess.reason);
    }
    std::printf("  auto: right %3zu, wrong %s, undecided %zu with 4 or more Chinese characters %s, %zu with fewer, "
                "ASCII only %zu\n",
                right.count, Shown(wrong).c_str(), undecidedLong.count + undecided.count, Shown(undecidedLong).c_str(),
                undecided.count, asciiOnly.count);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_detection SETS [--list] (SETS made by bench/detection-sets.py)\n");
        return 2;
    }
    g_list = argc > 2 && std::strcmp(argv[2], "--list") == 0;
    const fs::path sets = argv[1];
    const std::pair<const char*, EncodingId> kSets[] = {{"gb", EncodingId::Gb},
                                                        {"big5", EncodingId::Big5},
                                                        {"utf8-cn", EncodingId::Utf8},
                                                        {"utf8-tw", EncodingId::Utf8}};
    for (const auto& [name, truth] : kSets) {
        if (fs::is_directory(sets / name))
            MeasureSet(sets / name, truth);
    }
    return 0;
}
