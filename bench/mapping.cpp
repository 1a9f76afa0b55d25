// Throughput of the Chinese mapping against libopencc running OpenCC's own chains on the same input
// in the same run, the start-up cost of the tables, and the peak memory of mapping one 200 MB file.
// Figures are ratios measured here, so they hold on whatever machine runs this. Our Simplified and
// Taiwan chains differ from t2s and tw2s on purpose in a few places; the units that differ are counted.

#include "BenchSupport.h"
#include "ChineseMapping.h"
#include "OpenccConverter.h"
#include "OpenccDictionaryReader.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace veltran;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Size of the text as UTF-8, the form the files mostly have on disk.
double Utf8Megabytes(const std::u16string& text)
{
    std::size_t bytes = 0;
    for (const char16_t unit : text) {
        bytes += unit < 0x80 ? 1 : (unit >= 0xD800 && unit <= 0xDFFF) ? 2 : unit < 0x800 ? 2 : 3;
    }
    return static_cast<double>(bytes) / 1e6;
}

// Words of one script: the keys of a chain's dictionaries, the text that chain is meant for.
std::vector<std::u16string> Words(const char* config)
{
    const ChainDictionaries chain = OpenccDictionaryReader::FromFile(std::string(kOpenccDataDir) + config);
    std::vector<std::u16string> words;
    for (const DictionaryGroup& group : chain.steps) {
        for (const Dictionary& dictionary : group) {
            for (const DictionaryEntry& entry : dictionary) {
                words.push_back(entry.key);
            }
        }
    }
    return words;
}

// Chinese prose: words drawn with the skewed frequencies of real text (Zipf's law over a seeded
// order), with punctuation between clauses.
std::u16string ChineseText(const std::vector<std::u16string>& words, std::size_t units, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::u16string> order = words;
    std::shuffle(order.begin(), order.end(), random);
    std::vector<double> weights(order.size());
    for (std::size_t i = 0; i < weights.size(); ++i) {
        weights[i] = 1.0 / static_cast<double>(i + 1);
    }
    std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
    const std::u16string punctuation[] = {u"，", u"。", u"、", u"；", u"：", u"「", u"」"};
    std::u16string text;
    while (text.size() < units) {
        text += order[pick(random)];
        if (random() % 6 == 0) {
            text += punctuation[random() % 7];
        }
    }
    return text;
}

// Pages of markup and ASCII script with short Chinese texts in the elements, as on a typical site.
std::u16string MarkupPages(const std::vector<std::u16string>& words, std::size_t units, unsigned seed)
{
    const std::u16string chinese = ChineseText(words, units / 6, seed);
    std::mt19937 random(seed);
    std::u16string text;
    std::size_t taken = 0;
    while (text.size() < units) {
        text += u"<tr class=\"row\"><td width=\"120\" align=\"left\"><a href=\"/news/show.asp?id=";
        text += std::u16string(1, static_cast<char16_t>(u'0' + random() % 10)) + u"\" target=\"_blank\">";
        const std::size_t length = 4 + random() % 16;
        text += chinese.substr(taken % (chinese.size() - 32), length);
        taken += length;
        text += u"</a></td>\r\n<td><script language=\"javascript\">document.write(formatDate(\"2004-05-06\"));"
                u"</script></td></tr>\r\n";
    }
    return text;
}

struct Case
{
    const char* name;
    std::u16string (*ours)(std::u16string_view);
    const OpenccConverter* reference;
    const std::u16string* text;
    double target;
};

void Measure(const Case& c)
{
    const double megabytes = Utf8Megabytes(*c.text);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        const std::u16string out = c.ours(*c.text);
        best = std::min(best, SecondsSince(start));
    }
    const auto start = Clock::now();
    const std::u16string expected = c.reference->Convert(*c.text);
    const double reference = SecondsSince(start);
    const std::size_t differing = bench::DifferingUnits(c.ours(*c.text), expected);
    const double ratio = reference / best;
    std::printf("%-34s %8.1f MB/s  libopencc %6.1f MB/s  ratio %6.1f  target %4.0f  %s  (%zu units differ)\n", c.name,
                megabytes / best, megabytes / reference, ratio, c.target, ratio >= c.target ? "met" : "MISSED",
                differing);
}

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// In a child process, so that the peak belongs to this one conversion alone.
void MeasurePeakMemory(const char* name, const std::u16string& sample, std::u16string (*mapping)(std::u16string_view))
{
    constexpr double kFileMegabytes = 200;
    const pid_t child = fork();
    if (child == 0) {
        mapping(u"");
        const auto copies = static_cast<std::size_t>(std::ceil(kFileMegabytes / Utf8Megabytes(sample)));
        std::u16string text;
        text.reserve(sample.size() * copies);
        for (std::size_t i = 0; i < copies; ++i) {
            text += sample;
        }
        const double fileMegabytes = Utf8Megabytes(text);
        const long before = PeakKilobytes();
        const std::u16string out = mapping(text);
        const long after = PeakKilobytes();
        std::printf("%-28s file %.0f MB, text %.0f MB, peak %.0f MB = %.2f x file (mapping added %.0f MB); "
                    "target at most 6 x\n",
                    name, fileMegabytes, text.size() * 2 / 1e6, after / 1e3, after / 1e3 / fileMegabytes,
                    (after - before) / 1e3);
        std::fflush(stdout);
        _exit(out.size() > 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

} // namespace

int main()
{
    auto start = Clock::now();
    ToTraditional(u"");
    ToSimplified(u"");
    TaiwanToSimplified(u"");
    const double startup = SecondsSince(start);
    start = Clock::now();
    const OpenccConverter traditional(std::string(kOpenccDataDir) + kS2twConfig);
    const OpenccConverter simplified(std::string(kOpenccDataDir) + kT2sConfig);
    const OpenccConverter taiwan(std::string(kOpenccDataDir) + kTw2sConfig);
    const double referenceStartup = SecondsSince(start);
    std::printf("start-up of the three tables: %.3f ms (target at most 50 ms); libopencc loading the same: %.1f ms\n\n",
                startup * 1e3, referenceStartup * 1e3);

    const std::vector<std::u16string> simplifiedWords = Words(kS2twConfig);
    const std::vector<std::u16string> traditionalWords = Words(kTw2sConfig);
    const std::u16string chineseS = ChineseText(simplifiedWords, 1'000'000, 1);
    const std::u16string chineseT = ChineseText(traditionalWords, 1'000'000, 2);
    const std::u16string markupS = MarkupPages(simplifiedWords, 3'000'000, 3);
    const std::u16string markupT = MarkupPages(traditionalWords, 3'000'000, 4);

    const Case cases[] = {
        {"Chinese text, ToTraditional", &ToTraditional, &traditional, &chineseS, 30},
        {"Chinese text, ToSimplified", &ToSimplified, &simplified, &chineseT, 30},
        {"Simplified text, ToSimplified", &ToSimplified, &simplified, &chineseS, 30},
        {"Chinese text, TaiwanToSimplified", &TaiwanToSimplified, &taiwan, &chineseT, 30},
        {"markup pages, ToTraditional", &ToTraditional, &traditional, &markupS, 50},
        {"markup pages, ToSimplified", &ToSimplified, &simplified, &markupT, 50},
    };
    for (const Case& c : cases) {
        Measure(c);
    }
    std::printf("\n");
    std::fflush(stdout);
    MeasurePeakMemory("Chinese text, ToTraditional", chineseS, &ToTraditional);
    MeasurePeakMemory("markup pages, ToTraditional", markupS, &ToTraditional);
    return 0;
}
