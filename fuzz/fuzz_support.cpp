#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/picture_limits.h"

namespace fuzz {
namespace {

// Both outlive every static destructor, so the removal at exit can still use them.
const std::string& PrivateFolder() {
    static const std::string* folder = [] {
        char pattern[] = "/tmp/halvex-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return new std::string(pattern);
    }();
    return *folder;
}

const std::filesystem::path& StartFolder() {
    static const auto* start = new std::filesystem::path(std::filesystem::current_path());
    return *start;
}

}  // namespace

const std::string& PrepareProcess() {
    static const bool prepared = [] {
        static platform::ScopedPictureCap cap({kFuzzPixels, kFuzzBytes});
        StartFolder();
        const std::string& folder = PrivateFolder();
        setenv("TMPDIR", folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            close(null);
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(PrivateFolder(), ignored);
        });
        return true;
    }();
    (void)prepared;
    return PrivateFolder();
}

void ReturnHome() {
    std::error_code ignored;
    std::filesystem::current_path(StartFolder(), ignored);
}

std::span<const std::uint8_t> Input(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::span<const std::uint8_t>{} : std::span(data, size);
}

std::vector<std::string> CommandLine(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    return args;
}

}  // namespace fuzz
