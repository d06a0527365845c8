#include "platform/suite_program.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/program_wait.h"

extern char** environ;

namespace platform {

namespace {

constexpr int kSignalStatusBase = 128;

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> FindIn(const std::string& folder, std::string_view name) {
    if (folder.empty())
        return std::nullopt;
    std::string candidate = folder;
    if (candidate.back() != '/')
        candidate += '/';
    candidate += name;
    if (IsExecutableFile(candidate))
        return candidate;
    return std::nullopt;
}

}  // namespace

std::string RunningProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return self.parent_path().string();
}

std::optional<std::string> FindProgramBesideOrOnPath(std::string_view name,
                                                     const std::string& besideFolder,
                                                     const std::string& searchPath) {
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    if (std::optional<std::string> found = FindIn(besideFolder, name))
        return found;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        const std::size_t colon = searchPath.find(':', start);
        const std::string folder = searchPath.substr(start, colon - start);
        if (std::optional<std::string> found = FindIn(folder, name))
            return found;
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return std::nullopt;
}

std::optional<std::string> FindSuiteProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    return FindProgramBesideOrOnPath(name, RunningProgramFolder(),
                                     path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

SuiteProgramRun RunProgramAndWait(const std::string& path,
                                  const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    if (::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return {};

    const std::optional<int> status = WaitForChildProcess(child);
    SuiteProgramRun run;
    run.started = true;
    if (!status)
        return run;
    if (WIFEXITED(*status))
        run.exitStatus = WEXITSTATUS(*status);
    else if (WIFSIGNALED(*status))
        run.exitStatus = kSignalStatusBase + WTERMSIG(*status);
    return run;
}

SuiteProgramRun RunSuiteProgram(std::string_view name, const std::vector<std::string>& arguments) {
    const std::optional<std::string> path = FindSuiteProgram(name);
    if (!path)
        return {};
    return RunProgramAndWait(*path, arguments);
}

}  // namespace platform
