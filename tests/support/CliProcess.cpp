#include "CliProcess.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace veltran::test {

namespace fs = std::filesystem;

CliResult RunCliProcess(const std::vector<std::string>& arguments, const fs::path& workDir,
                        const std::vector<std::string>& extraEnvironment, const std::string& input)
{
    std::vector<std::string> argumentStore{VELTRAN_CLI_PATH};
    argumentStore.insert(argumentStore.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argumentStore)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::vector<std::string> environmentStore(extraEnvironment);
    for (char** entry = environ; *entry != nullptr; ++entry)
        environmentStore.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& entry : environmentStore)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    char outTemplate[] = "/tmp/veltran-cli-out-XXXXXX";
    char errTemplate[] = "/tmp/veltran-cli-err-XXXXXX";
    char inTemplate[] = "/tmp/veltran-cli-in-XXXXXX";
    const int outFd = ::mkstemp(outTemplate);
    const int errFd = ::mkstemp(errTemplate);
    const int inFd = ::mkstemp(inTemplate);
    if (outFd < 0 || errFd < 0 || inFd < 0)
        throw std::runtime_error("cannot create capture files");
    std::ofstream(inTemplate, std::ios::binary) << input;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inFd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(outFd);
    ::close(errFd);
    ::close(inFd);

    CliResult result;
    int waitStatus = 0;
    if (spawned == 0 && ::waitpid(pid, &waitStatus, 0) == pid && WIFEXITED(waitStatus))
        result.status = WEXITSTATUS(waitStatus);
    result.out = ReadBytes(outTemplate);
    result.err = ReadBytes(errTemplate);
    ::unlink(outTemplate);
    ::unlink(errTemplate);
    ::unlink(inTemplate);
    return result;
}

fs::path ScratchFolder::Write(const fs::path& relative, const std::string& bytes) const
{
    const fs::path path = m_dir.Path() / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace veltran::test
