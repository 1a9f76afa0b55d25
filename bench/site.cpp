// Converts a generated web site and prints the engine's figures against references measured in
// the same run: throughput per conversion, the mapping alone, the whole batch run against an I/O
// floor, and (with --big) the peak memory of converting one 200 MB file.
#include "BenchSupport.h"
#include "ChineseMapping.h"
#include "FileBytesConversion.h"
#include "FileConverter.h"
#include "TextCodecs.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace veltran;
using namespace veltran::bench;

namespace {

// The 3755 most common Simplified characters: GB2312 level 1, rows 0xB0 to 0xD7.
std::u16string CommonChineseCharacters()
{
    Bytes pairs;
    for (int lead = 0xB0; lead <= 0xD7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail)
            if (!(lead == 0xD7 && trail > 0xF9)) {
                pairs.push_back(static_cast<std::uint8_t>(lead));
                pairs.push_back(static_cast<std::uint8_t>(trail));
            }
    return *DecodeGb(pairs);
}

// A page of mostly ASCII markup with a few paragraphs of Chinese text, like a typical site.
std::u16string MakePage(std::mt19937& random, const std::u16string& chinese)
{
    std::u16string page = u"<!DOCTYPE html>\n<html>\n<head>\n<meta http-equiv=\"Content-Type\" "
                          u"content=\"text/html; charset=gb2312\">\n<title>";
    auto words = [&](int count) {
        std::u16string text;
        for (int i = 0; i < count; ++i)
            text += chinese[random() % chinese.size()];
        return text;
    };
    page += words(8) + u"</title>\n<link rel=\"stylesheet\" href=\"/css/site.css\">\n</head>\n<body>\n";
    const int paragraphs = 4 + static_cast<int>(random() % 8);
    for (int p = 0; p < paragraphs; ++p) {
        page += u"<div class=\"item\"><a href=\"/news/item" + std::u16string(1, u'0' + p) + u".htm\" title=\"";
        page += words(6) + u"\">" + words(10) + u"</a>\n<p style=\"margin: 0 0 8px 0\">";
        page += words(40 + static_cast<int>(random() % 80)) + u"</p></div>\n";
        page += u"<script type=\"text/javascript\">var item = { id: " + std::u16string(1, u'1' + p) +
                u", visible: true, count: 0 }; document.write(item.id);</script>\n";
    }
    page += u"</body>\n</html>\n";
    return page;
}

struct Site
{
    std::vector<Bytes> gbPages;
    std::size_t totalBytes = 0;
};

Site MakeSite(int pages)
{
    std::mt19937 random(20261209);
    const std::u16string chinese = CommonChineseCharacters();
    Site site;
    for (int i = 0; i < pages; ++i) {
        site.gbPages.push_back(EncodeGb(MakePage(random, chinese)));
        site.totalBytes += site.gbPages.back().size();
    }
    return site;
}

std::vector<fs::path> WriteTree(const fs::path& root, const Site& site)
{
    std::vector<fs::path> files;
    for (std::size_t i = 0; i < site.gbPages.size(); ++i) {
        const fs::path folder = root / ("section" + std::to_string(i % 20));
        fs::create_directories(folder);
        files.push_back(folder / ("page" + std::to_string(i) + ".htm"));
        WriteBytes(files.back(), site.gbPages[i]);
    }
    return files;
}

// In-memory conversion of every page; returns MB/s of input.
double EngineThroughput(const std::vector<Bytes>& pages, std::size_t totalBytes, const TextOptions& options,
                        std::vector<Bytes>* outputs = nullptr)
{
    const RuleTable rules;
    const auto start = Clock::now();
    for (const Bytes& page : pages) {
        const Result<ByteBuffer> out = ConvertFileBytes(page, options, rules);
        if (!out) {
            std::fprintf(stderr, "conversion failed: %s\n", out.status().message.c_str());
            std::exit(1);
        }
        if (outputs)
            outputs->emplace_back(out->data(), out->data() + out->size());
    }
    return static_cast<double>(totalBytes) / 1e6 / Seconds(start);
}

// Converts one 200 MB GB file in a child process and reports its peak resident memory.
void BigFileMemory(const fs::path& folder)
{
    std::mt19937 random(7);
    const std::u16string chinese = CommonChineseCharacters();
    const fs::path file = folder / "big.htm";
    {
        std::ofstream out(file, std::ios::binary);
        std::size_t written = 0;
        while (written < 200u * 1000 * 1000) {
            const Bytes page = EncodeGb(MakePage(random, chinese));
            out.write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
            written += page.size();
        }
    }
    const double size = static_cast<double>(fs::file_size(file));
    const pid_t child = fork();
    if (child == 0) {
        ConvertOptions options;
        options.text.source = EncodingId::Gb;
        options.text.target = EncodingId::Big5;
        _exit(ConvertFile(file, options, RuleTable()) ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    std::printf("one %.0f MB file, GB to BIG5: peak memory %.0f MB = %.2f x the file size (target <= 3)%s\n",
                size / 1e6, peak / 1e6, peak / size, WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : " FAILED");
}

} // namespace

int main(int argc, char** argv)
{
    const bool big = argc > 1 && std::strcmp(argv[1], "--big") == 0;
    const int pages = 3000;
    const Site site = MakeSite(pages);
    std::printf("generated site: %d pages, %.1f MB GB-encoded\n", pages, static_cast<double>(site.totalBytes) / 1e6);

    // Warm the dictionaries so the figures measure the conversions, then report the start-up alone.
    const auto load = Clock::now();
    ToTraditional(u"简");
    ToSimplified(u"簡");
    std::printf("dictionary start-up: %.1f ms\n", Seconds(load) * 1000);

    const TextOptions gbToUtf8{EncodingId::Gb, SourceMode::Declared, EncodingId::Utf8};
    const TextOptions gbToBig5{EncodingId::Gb, SourceMode::Declared, EncodingId::Big5};
    const TextOptions big5ToGb{EncodingId::Big5, SourceMode::Declared, EncodingId::Gb};
    std::vector<Bytes> big5Pages;
    std::printf("engine, in memory: GB to UTF-8 %.1f MB/s\n",
                EngineThroughput(site.gbPages, site.totalBytes, gbToUtf8));
    std::printf("engine, in memory: GB to BIG5  %.1f MB/s\n",
                EngineThroughput(site.gbPages, site.totalBytes, gbToBig5, &big5Pages));
    std::size_t big5Bytes = 0;
    for (const Bytes& page : big5Pages)
        big5Bytes += page.size();
    std::printf("engine, in memory: BIG5 to GB  %.1f MB/s\n", EngineThroughput(big5Pages, big5Bytes, big5ToGb));

    std::u16string allText;
    for (const Bytes& page : site.gbPages)
        allText += *DecodeGb(page);
    const double textMb = static_cast<double>(allText.size() * 2) / 1e6;
    auto start = Clock::now();
    const std::u16string traditional = ToTraditional(allText);
    std::printf("mapping alone: to Traditional %.1f MB/s of UTF-16 text\n", textMb / Seconds(start));
    start = Clock::now();
    ToSimplified(traditional);
    std::printf("mapping alone: to Simplified  %.1f MB/s of UTF-16 text\n", textMb / Seconds(start));

    char pattern[] = "/tmp/veltran-bench-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    const std::vector<fs::path> floorFiles = WriteTree(root / "floor", site);
    const std::vector<fs::path> runFiles = WriteTree(root / "run", site);
    const double floorSeconds = IoFloorSeconds(floorFiles);
    const double runSeconds = BatchSeconds(runFiles);
    std::printf("batch run, GB to BIG5 with backup: %.3f s; I/O floor (read, rename to .bak, write): %.3f s; "
                "ratio %.2f (target <= 1.5)\n",
                runSeconds, floorSeconds, runSeconds / floorSeconds);
    if (big)
        BigFileMemory(root);
    fs::remove_all(root);
    return 0;
}
