// The stand-in host against the real plug-in module: loading and checking the descriptor, and
// the host program run as a user runs it.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "plugin/scenegrab_host/host_command_line.h"
#include "plugin/scenegrab_host/plugin_module.h"

namespace {

using scenegrab_host::ParseHostCommandLine;

TEST(PluginModule, TheModuleExportsItsDescriptorAndServers) {
    std::string error;
    auto module = scenegrab_host::PluginModule::Open(SCENEGRAB_MODULE, &error);
    ASSERT_TRUE(module) << error;
    const ModuleDescriptor& descriptor = module->Descriptor();
    EXPECT_EQ(descriptor.synchronisation, 0x04121994u);
    EXPECT_EQ(descriptor.interfaceVersion, 2u);
    EXPECT_EQ(descriptor.machineCode, 0x300u);

    const std::pair<std::string, std::string> expected[] = {
        {"ItemMotionHandler", "CVNCameraController"},
        {"ItemMotionHandler", "CVNObjectController"},
        {"AnimSaverHandler", "CVNSaver"},
    };
    const ServerRecord* row = descriptor.servers;
    for (const auto& [className, serverName] : expected) {
        ASSERT_NE(row->className, nullptr);
        EXPECT_EQ(row->className, className);
        EXPECT_EQ(row->serverName, serverName);
        EXPECT_NE(row->activate, nullptr);
        ++row;
    }
    EXPECT_EQ(row->className, nullptr);
    EXPECT_EQ(row->serverName, nullptr);
    EXPECT_EQ(row->activate, nullptr);
}

TEST(PluginModule, RefusesWhatIsNotAModuleForThisHost) {
    ModuleDescriptor good{kModuleSynchronisation, kModuleInterfaceVersion,
                          kModuleMachineCode,     [] { return static_cast<void*>(nullptr); },
                          [](void*) {},           nullptr};
    static const ServerRecord noServers[] = {{nullptr, nullptr, nullptr}};
    good.servers = noServers;
    EXPECT_EQ(scenegrab_host::CheckDescriptor(good), "");
    ModuleDescriptor bad = good;
    bad.synchronisation = 0x19941204;
    EXPECT_NE(scenegrab_host::CheckDescriptor(bad), "");
    bad = good;
    bad.interfaceVersion = 3;
    EXPECT_NE(scenegrab_host::CheckDescriptor(bad), "");
    bad = good;
    bad.machineCode = 0x14c;
    EXPECT_NE(scenegrab_host::CheckDescriptor(bad), "");
    bad = good;
    bad.servers = nullptr;
    EXPECT_NE(scenegrab_host::CheckDescriptor(bad), "");

    std::string error;
    EXPECT_FALSE(scenegrab_host::PluginModule::Open("/nonexistent/scenegrab.so", &error));
    EXPECT_NE(error.find("cannot load"), std::string::npos);
}

TEST(HostCommandLine, ReadsTheOutputTheFramesAndTheSize) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        int first, last, size;
    };
    const Case cases[] = {
        {{"out.pan"}, true, 1, 6, 256},
        {{"-first", "7", "-last", "18", "-size", "128", "out.pan"}, true, 7, 18, 128},
        {{"out.pan", "-size", "64"}, true, 1, 6, 64},
        {{}, false, 0, 0, 0},
        {{"a.pan", "b.pan"}, false, 0, 0, 0},
        {{"-size", "0", "out.pan"}, false, 0, 0, 0},
        {{"-size", "12x", "out.pan"}, false, 0, 0, 0},
        {{"-first", "5", "-last", "4", "out.pan"}, false, 0, 0, 0},
        {{"-first", "0", "out.pan"}, false, 0, 0, 0},
        {{"-frames", "6", "out.pan"}, false, 0, 0, 0},
        {{"out.pan", "-last"}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto line = ParseHostCommandLine(c.args, &error);
        ASSERT_EQ(line.has_value(), c.ok) << testing::PrintToString(c.args) << error;
        if (!line)
            continue;
        EXPECT_EQ(line->settings.firstFrame, c.first);
        EXPECT_EQ(line->settings.lastFrame, c.last);
        EXPECT_EQ(line->settings.faceSize, c.size);
    }
}

class HostProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("scenegrab-host-test-" + std::to_string(random()));
        std::filesystem::create_directories(root_ / "config");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    // Runs the host program without a display; its exit status.
    int RunHost(const std::string& arguments, const std::string& path) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" +
                                    (root_ / "config").string() + "' PATH='" + path + "' '" +
                                    SCENEGRAB_HOST + "' " + arguments + " 2>" +
                                    (root_ / "stderr.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Stderr() const {
        std::ifstream in(root_ / "stderr.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Magic(const std::string& name) const {
        std::ifstream in(root_ / name, std::ios::binary);
        char magic[4] = {};
        in.read(magic, 4);
        return std::string(magic, static_cast<std::size_t>(in.gcount()));
    }
    std::filesystem::path root_;
};

// The status is 0 only when a panorama file was made; a refused size says why in the saver's
// options dialog's words.
TEST_F(HostProgramTest, ExitStatusTellsWhetherAPanoramaWasMade) {
    struct Case {
        std::string arguments;  // before the output name
        int status;
        const char* said;  // on standard error
    };
    const Case cases[] = {
        {"-size 64", 0, ""},
        {"-last 5", 1, "no panorama made"},
        {"-first -3 -last 2", 2, "usage: scenegrab-host"},
        {"-size 4100", 1, "Please enter an integer between 64 and 8196."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::filesystem::remove(root_ / "pano.pan");
        const std::string output = (root_ / "pano.pan").string();
        EXPECT_EQ(RunHost(c.arguments + " '" + output + "'", COMPACTOR_DIR ":/usr/bin:/bin"),
                  c.status)
            << Stderr();
        EXPECT_NE(Stderr().find(c.said), std::string::npos) << Stderr();
        EXPECT_EQ(Magic("pano.pan"), c.status == 0 ? "HVXK" : "");
    }
}

// A panorama file at the output name is replaced only by a whole new one: when `compactor` is
// missing, fails or is killed, the old file stays byte for byte, the saver's bitmap is gone
// from beside it, the failure is told and the run fails.
TEST_F(HostProgramTest, AFailedCompactorKeepsTheOldPanoramaAndTheRunFails) {
    const std::filesystem::path out = root_ / "out";
    const std::filesystem::path bin = root_ / "bin";
    const std::string old = "HVXK the panorama the user made before";
    for (const char* compactor : {"", "exit 1", "kill -KILL $$"}) {
        SCOPED_TRACE(compactor);
        for (const std::filesystem::path& folder : {out, bin}) {
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(folder);
        }
        if (*compactor != '\0') {
            std::ofstream(bin / "compactor") << "#!/bin/sh\n" << compactor << "\n";
            std::filesystem::permissions(bin / "compactor", std::filesystem::perms::owner_all);
        }
        std::ofstream(out / "pano.pan", std::ios::binary) << old;
        EXPECT_EQ(RunHost("-size 32 '" + (out / "pano.pan").string() + "'", bin.string()), 1);
        std::ifstream kept(out / "pano.pan", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 1);
        EXPECT_NE(Stderr().find("Scenegrab: Unable to compress panorama."), std::string::npos)
            << Stderr();
    }
}

TEST_F(HostProgramTest, BadCommandLinesShowTheUsage) {
    EXPECT_EQ(RunHost("-size", "/usr/bin:/bin"), 2);
    EXPECT_NE(Stderr().find("usage: scenegrab-host"), std::string::npos);
    EXPECT_EQ(RunHost("-plugin /nonexistent.so out.pan", "/usr/bin:/bin"), 1);
    EXPECT_NE(Stderr().find("cannot load"), std::string::npos);
}

}  // namespace
