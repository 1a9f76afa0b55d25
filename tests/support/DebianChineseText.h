#pragma once

#include "TextCodecs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace veltran::test {

/// Real Chinese text that Debian packages: the manual pages of manpages-zh and the pages of the
/// Debian reference manual, in Simplified (zh_CN) or Traditional (zh_TW) Chinese. The test scripts
/// install the packages; where they are missing the list is empty.
enum class ChineseText
{
    Simplified,
    Traditional,
};

struct RealPage
{
    std::string name;
    std::u16string text;
};

inline std::vector<RealPage> DebianPages(ChineseText which)
{
    const bool simplified = which == ChineseText::Simplified;
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             simplified ? "/usr/share/man/zh_CN" : "/usr/share/man/zh_TW", ec))
        if (entry.path().extension() == ".gz")
            files.push_back(entry.path());
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/debian-reference", ec))
        if (entry.path().filename().string().ends_with(simplified ? ".zh-cn.html" : ".zh-tw.html"))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<RealPage> pages;
    for (const std::filesystem::path& file : files) {
        const std::string command = (file.extension() == ".gz" ? "gzip -dc '" : "cat '") + file.string() + "'";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            continue;
        Bytes bytes;
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        ::pclose(pipe);
        if (DecodeResult text = Utf8Decode(bytes))
            pages.push_back({file.string(), std::move(*text)});
    }
    return pages;
}

/// True where tests must find the pages: in CI, which installs the packages.
inline bool RealTextRequired()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string(ci) == "true";
}

} // namespace veltran::test
