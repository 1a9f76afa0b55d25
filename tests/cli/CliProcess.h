#pragma once

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

/// Runs the built veltran-cli with the arguments in `workDir`, standard input closed and
/// the extra environment entries ("NAME=value") added to this process's environment.
CliResult RunCliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                        const std::vector<std::string>& extraEnvironment = {});

/// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// Writes the bytes to a file under the folder, making the folders on the way.
    std::filesystem::path Write(const std::filesystem::path& relative, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

/// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

} // namespace veltran::test
