#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace opencc {
class SimpleConverter;
}

namespace veltran {

/// Folder of the installed OpenCC configurations and dictionaries, as the build was configured.
inline constexpr const char* kOpenccDataDir = VELTRAN_OPENCC_DATA_DIR "/";
/// Simplified to Traditional, Taiwan standard.
inline constexpr const char* kS2twConfig = "s2tw.json";
/// Traditional to Simplified.
inline constexpr const char* kT2sConfig = "t2s.json";
/// Traditional (Taiwan standard) to Simplified.
inline constexpr const char* kTw2sConfig = "tw2s.json";

/// Runs one OpenCC conversion chain through libopencc on UTF-16 text. This is
/// the reference that the project's own matcher is checked and measured
/// against.
class OpenccConverter
{
public:
    /// Loads the chain from a configuration file, e.g. kOpenccDataDir + kS2twConfig; throws
    /// std::runtime_error when the configuration or its dictionaries cannot be loaded.
    explicit OpenccConverter(const std::string& configPath);
    ~OpenccConverter();
    OpenccConverter(const OpenccConverter&) = delete;
    OpenccConverter& operator=(const OpenccConverter&) = delete;

    /// Converts the text. NUL and unpaired surrogates, which libopencc cannot
    /// take, are passed through unchanged and split the text into pieces
    /// converted one by one; empty text stays empty.
    std::u16string Convert(std::u16string_view text) const;

private:
    void ConvertPiece(std::u16string_view piece, std::u16string& out) const;

    std::unique_ptr<opencc::SimpleConverter> m_converter;
};

} // namespace veltran
