// Scenegrab's saver as a renderer host drives it, in-process: the module started through its
// descriptor, the saver server activated at the version the input names, and then the
// handler record's callbacks (create, destroy, copy, load, save, open, begin, write, close,
// description) in the order the input chooses, with the frame sizes, output names, scene
// frame ranges, stored options and scanlines taken from the input. Any order must be taken:
// each call either does its work or gives the saver's own failure, and nothing may crash,
// leak, read a line past the frame width or write outside the target's private folder.
//
// Output names are confined to "out/" in the private folder (the name's slashes dropped);
// the raw name still goes through the name splitting, whose laws are checked. Compactor is a
// stand-in that checks and counts its runs and, when it succeeds, puts a panorama file at the
// target; no temporary bitmap may be left in "out/". The viewer window is a counter, message boxes
// go to the headless backend's recorder. Pictures are capped at 32 Ki pixels here and one
// input may begin at most 20 frames and write at most 1024 lines, so each input stays quick.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "bitmap/cdib.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/saver_script.h"
#include "platform/headless/headless_backend.h"
#include "platform/picture_limits.h"
#include "plugin/host_interface/host_api.h"
#include "plugin/scenegrab/compactor_handoff.h"
#include "plugin/scenegrab/controllers.h"
#include "plugin/scenegrab/output_name.h"
#include "plugin/scenegrab/panorama_saver.h"
#include "plugin/scenegrab/saver_options.h"
#include "plugin/scenegrab/servers.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSaverPixels = std::uint64_t{1} << 15;
constexpr std::uint64_t kSaverBytes = std::uint64_t{1} << 17;
constexpr int kMostBegins = 20;
constexpr int kMostLines = 1024;
constexpr std::size_t kMostInstances = 4;
constexpr std::size_t kMostNameBytes = 40;

using namespace fuzz::saver_script;

// The input, read front to back; past its end every read gives 0.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Done() const { return at_ >= bytes_.size(); }
    std::uint8_t Byte() { return Done() ? 0 : bytes_[at_++]; }
    int Side() {
        const std::uint8_t b = Byte();
        return b < kEdgeByte ? b % 40 - 2 : kEdges[b & 15];
    }
    int Frame() {
        const std::uint8_t b = Byte();
        return b < kEdgeByte ? b - 16 : kEdges[b & 15];
    }
    // Up to `most` bytes, ended early by a 0 byte (which is taken).
    std::string Text(std::size_t most) {
        std::string text;
        while (text.size() < most && !Done()) {
            const std::uint8_t b = Byte();
            if (b == 0)
                break;
            text.push_back(static_cast<char>(b));
        }
        return text;
    }
    // Copies the input's next bytes into `out`, at most `size` of them.
    void Fill(std::uint8_t* out, std::size_t size) {
        const std::size_t n = std::min(size, bytes_.size() - std::min(at_, bytes_.size()));
        if (n != 0)
            std::memcpy(out, bytes_.data() + at_, n);
        at_ += n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// What the host knows of one saver instance: the frame width its lines must hold, and
// whether a write now has a face to go to.
struct Instance {
    void* handle = nullptr;
    int width = 16;  // the saver's defaults, before an open and after a close
    int height = 16;
    bool begun = false;
    int rows = 0;
};

// What lasts across inputs: the recorder of message boxes, the lowered picture ceiling, the
// scene record the host serves and the stand-in Compactor's outcome and count.
struct Setting {
    fs::path out;
    platform::HeadlessBackend backend;
    platform::ScopedPictureCap cap{{kSaverPixels, kSaverBytes}};
    SceneInfo scene{};
    bool sceneServed = true;
    platform::SuiteProgramRun compactorOutcome;
    int compactorRuns = 0;
    int shown = 0;

    explicit Setting(const std::string& home) : out(fs::path(home) / "out") {
        compactorOutcome.started = true;
        compactorOutcome.exitStatus = 0;
    }

    std::string Confined(const std::string& raw) const {
        std::string name;
        for (char c : raw) {
            if (c != '/')
                name.push_back(c);
        }
        return (out / name).string();
    }
};

Setting* g_setting = nullptr;

void* HostGlobal(const char* name, int /*useMode*/) {
    if (g_setting->sceneServed && std::strcmp(name, kSceneInfoService) == 0)
        return &g_setting->scene;
    return nullptr;
}

// The stand-in Compactor: it is handed a bitmap the saver has just written in "out/" and the
// target beside it.
platform::SuiteProgramRun StandInCompactor(const std::vector<std::string>& arguments) {
    Setting& setting = *g_setting;
    if (arguments.size() != 4 || arguments[0] == arguments[1] || arguments[2] != "-registry" ||
        arguments[3] != "Tavrin")
        std::abort();
    const std::string folder = setting.out.string() + "/";
    if (arguments[0].rfind(folder, 0) != 0 || arguments[1].rfind(folder, 0) != 0)
        std::abort();
    char magic[2] = {};
    std::ifstream(arguments[0], std::ios::binary).read(magic, 2);
    if (magic[0] != 'B' || magic[1] != 'M')
        std::abort();
    ++setting.compactorRuns;
    if (setting.compactorOutcome.Succeeded())
        std::ofstream(arguments[1], std::ios::binary) << "HVXK";
    return setting.compactorOutcome;
}

// Whether "out/" holds a temporary bitmap of this process that the saver left: a hidden name
// holding "-<process number>-" and ending in ".bmp".
bool TemporaryFileLeft(const fs::path& out) {
    const std::string process = "-" + std::to_string(::getpid()) + "-";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(out, error)) {
        const std::string name = entry.path().filename().string();
        if (name.front() == '.' && name.find(process) != std::string::npos &&
            name.ends_with(".bmp"))
            return true;
    }
    return false;
}

void CountShown(const CDIB& panorama) {
    if (panorama.GetBitCount() != 24 || panorama.GetWidth() % 16 != 0 ||
        panorama.GetHeight() % 16 != 0)
        std::abort();
    ++g_setting->shown;
}

// The folder the saver writes in: a private one in memory when the system has one, as every
// open writes the options and every panorama a bitmap, each flushed to its disk; else the
// process's private folder. Removed when the process exits.
std::string SaverFolder(const std::string& home) {
    static std::string* folder = nullptr;
    char pattern[] = "/dev/shm/halvex-saver-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return home;
    folder = new std::string(pattern);
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(*folder, ignored);
    });
    return *folder;
}

Setting& TheSetting() {
    static Setting* setting = [] {
        const std::string home = SaverFolder(fuzz::PrepareProcess());
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        g_setting = new Setting(home);
        scenegrab::SetCompactorRunner(StandInCompactor);
        return g_setting;
    }();
    return *setting;
}

const std::set<std::string>& KnownMessages() {
    static const std::set<std::string> texts = {
        std::string(scenegrab::kNotMultipleOfSix) + "\n\n" + scenegrab::kManualLine,
        std::string(scenegrab::kCameraControllerMissing) + "\n\n" + scenegrab::kManualLine,
        "Unable to allocate memory.",
        "Invalid frame number.",
        "Copying to invalid frame.",
        "Invalid buffer request.",
        "Unable to open file for output.",
        "Unable to compress panorama.",
        "Please enter an integer between 64 and 8196.",
        "Please enter an integer between 128 and 16392.",
    };
    return texts;
}

// The name splitting's laws, on the host's name as it came.
void CheckNameSplitting(const std::string& raw) {
    const scenegrab::OutputName name = scenegrab::SplitOutputName(raw);
    const std::string& ext = name.extension;
    if (name.baseName + ext != raw)
        std::abort();
    if (!ext.empty() && (ext[0] != '.' || ext.size() < 2 || ext.size() > 5 ||
                         ext.find('/') != std::string::npos))
        std::abort();
    if (scenegrab::MakeOutputName(name, false, 7) != raw)
        std::abort();
    const std::string numbered = scenegrab::MakeOutputName(name, true, 7);
    if (numbered != name.baseName + "007" + ext)
        std::abort();
}

const ServerRecord* FindServer(const ModuleDescriptor& module, const char* serverName) {
    for (const ServerRecord* row = module.servers; row->className != nullptr; ++row) {
        if (std::strcmp(row->serverName, serverName) == 0)
            return row;
    }
    std::abort();
}

int Version(std::uint8_t b) {
    return kVersions[b % 8];
}

void WriteStoredOptions(Reader& in) {
    switch (in.Byte() % 3) {
        case kNoOptions: {
            std::error_code ignored;
            fs::remove(scenegrab::SaverProfile::FilePath(), ignored);
            break;
        }
        case kWrittenOptions:
            scenegrab::SaverProfile::Write(in.Frame(), in.Frame());
            break;
        default: {
            const std::string path = scenegrab::SaverProfile::FilePath();
            fs::create_directories(fs::path(path).parent_path());
            const std::string text = in.Text(200);
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
            break;
        }
    }
}

// Runs the calls the input chooses on an activated saver.
class HostRun {
  public:
    HostRun(Reader& in, Setting& setting, const AnimSaverHandler& saver, int version)
        : in_(in), setting_(setting), saver_(saver), version_(version) {}

    // Runs the script to its end, then destroys the instances left; gives how many frames
    // were begun.
    int Run() {
        while (!in_.Done()) {
            switch (in_.Byte() % kCallCount) {
                case kCreate: Create(); break;
                case kDestroy: Destroy(); break;
                case kCopy: Copy(); break;
                case kLoadSave: LoadAndSave(); break;
                case kOpen: Open(); break;
                case kBegin: Begin(); break;
                case kWrite: Write(false); break;
                case kWriteMissing: Write(true); break;
                case kClose: Close(); break;
                case kDescribe: Describe(); break;
                case kScene: ChangeScene(); break;
                case kStoredOptions: WriteStoredOptions(in_); break;
                case kActivateCamera: ActivateCamera(); break;
                default: ChooseCompactorOutcome(); break;
            }
        }
        for (const Instance& instance : instances_)
            saver_.destroy(instance.handle);
        instances_.clear();
        return begins_;
    }

  private:
    // An instance the host has, or (when the input says so, or none is left) no instance: a
    // host may hand back what a failed create gave it.
    Instance& Pick() {
        const std::size_t choice = in_.Byte();
        if (instances_.empty() || choice % (instances_.size() + 1) == instances_.size()) {
            none_ = Instance{};
            return none_;
        }
        return instances_[choice % (instances_.size() + 1)];
    }

    void Create() {
        if (instances_.size() == kMostInstances)
            return;
        void* handle = saver_.create(nullptr, nullptr);
        if (handle != nullptr)
            instances_.push_back(Instance{handle});
    }

    void Destroy() {
        if (instances_.empty())
            return;
        const std::size_t k = in_.Byte() % instances_.size();
        saver_.destroy(instances_[k].handle);
        instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(k));
    }

    void Copy() {
        Instance& to = Pick();
        Instance& from = Pick();
        const int result =
            version_ == 2 ? saver_.copy.version2(to.handle, from.handle) : saver_.copy.version1(to.handle);
        if (result != 0)
            std::abort();
    }

    void LoadAndSave() {
        Instance& instance = Pick();
        const std::uint8_t state[16] = {};
        if (saver_.load(instance.handle, state) != 0 || saver_.save(instance.handle, state) != 0)
            std::abort();
    }

    void Open() {
        Instance& instance = Pick();
        const int width = in_.Side();
        const int height = in_.Side();
        const bool named = in_.Byte() % 8 != 0;
        const std::string raw = in_.Text(kMostNameBytes);
        CheckNameSplitting(raw);
        const std::string name = setting_.Confined(raw);
        // Without dialogs the options are taken as offered within the dialog's bounds, so only
        // a missing instance or an offer outside them stops the render.
        const bool aspect = scenegrab::SaverProfile::ReadAspect() != 0;
        const bool refused =
            scenegrab::CheckPanoramaSize(scenegrab::PanoramaSizeForFaces(width, height, aspect))
                .has_value();
        const char* result = saver_.open(instance.handle, width, height, named ? name.c_str() : nullptr);
        const bool cancelled =
            result != nullptr && std::strcmp(result, scenegrab::kRenderingCancelled) == 0;
        if (instance.handle == nullptr) {
            if (!cancelled)
                std::abort();
            return;
        }
        if (refused ? !cancelled : result != nullptr)
            std::abort();
        instance.width = width;
        instance.height = height;
        instance.begun = false;
        instance.rows = 0;
    }

    void Begin() {
        Instance& instance = Pick();
        if (begins_ == kMostBegins)
            return;
        ++begins_;
        const int result = saver_.begin(instance.handle);
        if (result != 0 && result != 1)
            std::abort();
        instance.begun = instance.handle != nullptr;
        instance.rows = 0;
    }

    // Up to 16 lines of the frame width; with `missing`, one line with a colour left out.
    void Write(bool missing) {
        Instance& instance = Pick();
        const int lines = missing ? 1 : in_.Byte() % 16 + 1;
        // A line holds the frame width's bytes; no face the cap lets through is wider than
        // its pixel count, so a wider frame's lines are cut there (the saver never has one).
        const auto width = static_cast<std::size_t>(
            std::clamp<long long>(instance.width, 1, static_cast<long long>(kSaverPixels)));
        const std::size_t omitted = missing ? in_.Byte() % 3 : 3;
        // Each colour's line is exactly `width` bytes, so a read past it is caught; only its
        // first bytes come from the input, as filling the rest costs more than it finds.
        std::unique_ptr<std::uint8_t[]> colour[3];
        for (auto& line : colour)
            line = std::make_unique_for_overwrite<std::uint8_t[]>(width);
        const std::uint8_t* planes[3] = {colour[0].get(), colour[1].get(), colour[2].get()};
        if (omitted < 3)
            planes[omitted] = nullptr;
        for (int line = 0; line < lines && lines_ < kMostLines; ++line, ++lines_) {
            for (auto& plane : colour)
                in_.Fill(plane.get(), std::min<std::size_t>(width, 4));
            const int result = saver_.write(instance.handle, planes[0], planes[1], planes[2]);
            if (result != 0 && result != 1)
                std::abort();
            // No face to go to, or a line missing, is always refused; a small face that was
            // begun always takes its lines.
            const bool room = instance.begun && instance.rows < instance.height;
            if ((!room || omitted < 3) && result != 1)
                std::abort();
            const bool small = instance.width >= 1 && instance.width <= 45 &&
                               instance.height >= 1 && instance.height <= 45;
            if (room && omitted == 3 && small && result != 0)
                std::abort();
            if (room && result == 0)
                ++instance.rows;
        }
    }

    void Close() {
        Instance& instance = Pick();
        const int result = saver_.close(instance.handle);
        if (result != 0 && result != 1)
            std::abort();
        if (instance.handle != nullptr)
            instance = Instance{instance.handle};
    }

    void Describe() {
        if (version_ != 2)
            return;
        const char* text = saver_.description(Pick().handle);
        if (text == nullptr || std::strcmp(text, scenegrab::kSaverName) != 0)
            std::abort();
    }

    void ChangeScene() {
        setting_.sceneServed = in_.Byte() % 4 != 0;
        setting_.scene.firstFrame = in_.Frame();
        setting_.scene.lastFrame = in_.Frame();
    }

    void ActivateCamera() {
        const ServerRecord* camera = FindServer(scenegrab::ScenegrabDescriptor(),
                                                scenegrab::kCameraControllerName);
        ItemMotionHandler record{};
        const int version = Version(in_.Byte());
        const int result = camera->activate(version, HostGlobal, &record, nullptr);
        if (result != ((version == 1 || version == 2) ? 0 : 1))
            std::abort();
    }

    void ChooseCompactorOutcome() {
        const std::uint8_t b = in_.Byte();
        setting_.compactorOutcome.started = b % 4 != 3;
        setting_.compactorOutcome.exitStatus = setting_.compactorOutcome.started ? b % 4 : -1;
    }

    Reader& in_;
    Setting& setting_;
    const AnimSaverHandler& saver_;
    int version_;
    std::vector<Instance> instances_;
    Instance none_;
    int begins_ = 0;
    int lines_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Setting& setting = TheSetting();
    Reader in(fuzz::Input(data, size));
    std::error_code ignored;
    fs::remove_all(setting.out, ignored);
    fs::create_directories(setting.out);
    setting.scene = SceneInfo{};
    setting.sceneServed = true;
    setting.scene.firstFrame = in.Frame();
    setting.scene.lastFrame = in.Frame();
    setting.compactorOutcome = {true, 0};
    WriteStoredOptions(in);

    const ModuleDescriptor& module = scenegrab::ScenegrabDescriptor();
    void* token = module.startup();
    if (token == nullptr)
        std::abort();
    scenegrab::SetPanoramaPresenter(CountShown);

    const int version = Version(in.Byte());
    AnimSaverHandler saver{};
    const int activated =
        FindServer(module, scenegrab::kSaverName)->activate(version, HostGlobal, &saver, nullptr);
    if (version == 1 || version == 2) {
        if (activated != 0 || saver.open == nullptr || (saver.description != nullptr) != (version == 2))
            std::abort();
        // Every panorama handed to Compactor or shown took six frames.
        const int begins = HostRun(in, setting, saver, version).Run();
        if (setting.compactorRuns * 6 > begins || setting.shown * 6 > begins)
            std::abort();
    } else {
        const AnimSaverHandler untouched{};
        if (activated != 1 || std::memcmp(&saver, &untouched, sizeof saver) != 0)
            std::abort();
    }
    module.shutdown(token);
    if (TemporaryFileLeft(setting.out))
        std::abort();

    for (const platform::MessageBoxRecord& box : setting.backend.MessageBoxes()) {
        if (KnownMessages().count(box.text) == 0)
            std::abort();
    }
    setting.backend.ClearMessageBoxes();
    setting.compactorRuns = 0;
    setting.shown = 0;
    fuzz::ReturnHome();
    return 0;
}
