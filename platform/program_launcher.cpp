#include "platform/program_launcher.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

extern char** environ;

namespace platform {

namespace {

constexpr int kExecStarted = 33;
constexpr int kFileNotFound = 2;
constexpr int kBadFormat = 11;
constexpr int kOpenHandedOver = 42;
constexpr int kNoAssociation = 31;

// How long the opener is given to say that nothing can open a target.
constexpr auto kOpenerVerdictWait = std::chrono::seconds(3);

Guarded<std::shared_ptr<ProgramLauncher>>& LauncherSlot() {
    static Guarded<std::shared_ptr<ProgramLauncher>> launcher(std::make_shared<SpawningLauncher>());
    return launcher;
}

std::shared_ptr<ProgramLauncher> CurrentLauncher() {
    return *LauncherSlot().Lock();
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> FindExecutable(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (IsExecutableFile(name))
            return name;
        return std::nullopt;
    }
    if (IsExecutableFile(name))
        return (std::filesystem::current_path() / name).string();
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t colon = dirs.find(':', start);
        std::string dir = dirs.substr(start, colon - start);
        if (!dir.empty()) {
            std::string candidate = dir + "/" + name;
            if (IsExecutableFile(candidate))
                return candidate;
        }
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return std::nullopt;
}

bool EndsWithExe(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".exe";
}

// Spawns argv[0] (a path) without a shell; the child's id, or nullopt.
std::optional<pid_t> Spawn(const std::vector<std::string>& words, bool searchPath) {
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int rc = searchPath ? ::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ)
                        : ::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
        return std::nullopt;
    return child;
}

void ReapInBackground(pid_t child) {
    std::thread([child] {
        int status = 0;
        ::waitpid(child, &status, 0);
    }).detach();
}

}  // namespace

bool SpawningLauncher::Launch(const LaunchRequest& request) {
    std::vector<std::string> words{request.program};
    words.insert(words.end(), request.arguments.begin(), request.arguments.end());
    std::optional<pid_t> child = Spawn(words, false);
    if (!child)
        return false;
    ReapInBackground(*child);
    return true;
}

bool SpawningLauncher::Open(const std::string& target, int) {
    std::optional<pid_t> child = Spawn({"xdg-open", target}, true);
    if (!child)
        return false;
    auto deadline = std::chrono::steady_clock::now() + kOpenerVerdictWait;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        pid_t done = ::waitpid(*child, &status, WNOHANG);
        if (done == *child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ReapInBackground(*child);
    return true;
}

bool RecordingLauncher::Launch(const LaunchRequest& request) {
    std::string line = "run " + request.program;
    for (const std::string& argument : request.arguments)
        line += " " + argument;
    line += " show " + std::to_string(request.showState);
    const auto log = log_.Lock();
    log->push_back(line);
    return launchResult;
}

bool RecordingLauncher::Open(const std::string& target, int showState) {
    const auto log = log_.Lock();
    log->push_back("open " + target + " show " + std::to_string(showState));
    return openResult;
}

std::vector<std::string> RecordingLauncher::Log() const {
    return *log_.Lock();
}

void RecordingLauncher::ClearLog() {
    log_.Lock()->clear();
}

std::shared_ptr<ProgramLauncher> InstallProgramLauncher(std::shared_ptr<ProgramLauncher> launcher) {
    std::swap(*LauncherSlot().Lock(), launcher);
    return launcher;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::optional<std::string> ResolveProgram(const std::string& name) {
    if (std::optional<std::string> found = FindExecutable(name))
        return found;
    if (EndsWithExe(name))
        return FindExecutable(name.substr(0, name.size() - 4));
    return std::nullopt;
}

int WinExec(const std::string& commandLine, int showState) {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty())
        return kFileNotFound;
    std::optional<std::string> program = ResolveProgram(words.front());
    if (!program)
        return kFileNotFound;
    return StartProgram(LaunchRequest{*program, {words.begin() + 1, words.end()}, showState});
}

int StartProgram(const LaunchRequest& request) {
    return CurrentLauncher()->Launch(request) ? kExecStarted : kBadFormat;
}

bool OpenAddress(const std::string& address, int showState) {
    // An address that begins with "-" must not read as an option of the opener.
    if (address.empty() || address.front() == '-')
        return false;
    return CurrentLauncher()->Open(address, showState);
}

int ShellExecute(const std::string& verb, const std::string& file, const std::string& directory,
                 int showState) {
    if (verb != "open" || file.empty())
        return kNoAssociation;
    std::filesystem::path target(file);
    if (target.is_relative() && !directory.empty())
        target = std::filesystem::path(directory) / target;
    std::error_code error;
    if (!std::filesystem::exists(target, error))
        return kFileNotFound;
    std::string path = target.string();
    // A name that begins with "-" must not read as an option of the opener.
    if (path.front() == '-')
        path = "./" + path;
    return CurrentLauncher()->Open(path, showState) ? kOpenHandedOver : kNoAssociation;
}

}  // namespace platform
