#pragma once

#include "TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace veltran::test {

/// What one run of the veltran-cli binary left behind.
struct CliResult
{
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

/// Runs the built veltran-cli with the arguments in `workDir`, standard input `input` (empty when
/// not given) and the extra environment entries ("NAME=value") added to this process's environment.
CliResult RunCliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                        const std::vector<std::string>& extraEnvironment = {}, const std::string& input = {});

/// A temporary folder to run the binary in.
class ScratchFolder
{
public:
    const std::filesystem::path& path() const { return m_dir.Path(); }
    /// Writes the bytes to a file under the folder, making the folders on the way.
    std::filesystem::path Write(const std::filesystem::path& relative, const std::string& bytes) const;

private:
    TempDir m_dir;
};

/// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

} // namespace veltran::test
