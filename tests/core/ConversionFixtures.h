#pragma once

#include "ConversionOptions.h"

#include <string>

// Byte literals and options shared by the tests of the conversion of one file.
namespace veltran::test {

// GB and BIG5 byte literals, checked against iconv.
inline const std::string kGbJianTiZhongWen = "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4"; // 简体中文
inline const std::string kBig5JianTi = "\xC2\xB2\xC5\xE9";                       // 簡體
inline const std::string kGbJianTi = "\xBC\xF2\xCC\xE5";                         // 简体
inline const std::string kUtf8JianTi = "\xE7\xAE\x80\xE4\xBD\x93";               // 简体
inline const std::string kUtf8JianTiTraditional = "\xE7\xB0\xA1\xE9\xAB\x94";    // 簡體
inline const std::string kBom = "\xEF\xBB\xBF";

inline ConvertOptions Options(EncodingId source, EncodingId target, bool keepBackup = true, bool writeBom = false)
{
    ConvertOptions options;
    options.text.source = source;
    options.text.target = target;
    options.disk.keepBackup = keepBackup;
    options.text.writeBom = writeBom;
    return options;
}

} // namespace veltran::test
