#include "plugin/scenegrab_host/render_job.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <optional>
#include <ostream>

#include "plugin/scenegrab_host/pinhole_camera.h"
#include "plugin/scenegrab_host/plugin_module.h"

namespace scenegrab_host {

namespace {

// A scene item: its own animation and what a motion handler set for the current frame.
struct HostItem {
    enum class Kind { Camera, Ball } kind;
    std::optional<Vec3> positionOverride;
    std::optional<Vec3> rotationOverride;
};

struct HostSession {
    const RenderSettings* settings = nullptr;
    SceneInfo sceneInfo{};
    ItemInfo itemInfo{};
    CameraInfo cameraInfo{};
    HostItem camera{HostItem::Kind::Camera, {}, {}};
    HostItem ball{HostItem::Kind::Ball, {}, {}};
    HostItem* evaluating = nullptr;  // the item whose motion handler runs
};

HostSession* g_session = nullptr;

Vec3 AnimatedPosition(const HostItem& item, double time) {
    return item.kind == HostItem::Kind::Camera ? g_session->settings->cameraPosition
                                               : BallPositionAt(time);
}

Vec3 AnimatedRotation(const HostItem& item) {
    return item.kind == HostItem::Kind::Camera ? g_session->settings->cameraRotation : Vec3{};
}

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

extern "C" {

void MotionGet(int parameter, double time, double* value) {
    if (g_session == nullptr || g_session->evaluating == nullptr || value == nullptr)
        return;
    Vec3 v{};
    if (parameter == kParameterPosition)
        v = AnimatedPosition(*g_session->evaluating, time);
    else if (parameter == kParameterRotation)
        v = AnimatedRotation(*g_session->evaluating);
    value[0] = v.x;
    value[1] = v.y;
    value[2] = v.z;
}

void MotionSet(int parameter, const double* value) {
    if (g_session == nullptr || g_session->evaluating == nullptr || value == nullptr)
        return;
    const Vec3 v{value[0], value[1], value[2]};
    if (parameter == kParameterPosition)
        g_session->evaluating->positionOverride = v;
    else if (parameter == kParameterRotation)
        g_session->evaluating->rotationOverride = v;
}

ItemId FirstItem(int type, ItemId parent) {
    if (g_session == nullptr || type != kItemTypeCamera || parent != nullptr)
        return nullptr;
    return &g_session->camera;
}

double CameraZoom(ItemId /*camera*/, double /*time*/) {
    return g_session != nullptr
               ? 1.0 / std::tan(Radians(g_session->settings->horizontalFovDegrees) / 2)
               : 0.0;
}

void CameraFieldOfView(ItemId camera, double /*time*/, double* horizontal, double* vertical) {
    if (g_session == nullptr || camera != &g_session->camera)
        return;
    if (horizontal != nullptr)
        *horizontal = Radians(g_session->settings->horizontalFovDegrees);
    if (vertical != nullptr)
        *vertical = Radians(g_session->settings->verticalFovDegrees);
}

void* HostGlobal(const char* name, int /*useMode*/) {
    if (g_session == nullptr || name == nullptr)
        return nullptr;
    if (std::strcmp(name, kSceneInfoService) == 0)
        return &g_session->sceneInfo;
    if (std::strcmp(name, kItemInfoService) == 0)
        return &g_session->itemInfo;
    if (std::strcmp(name, kCameraInfoService) == 0)
        return &g_session->cameraInfo;
    return nullptr;
}

}  // extern "C"

// The servers this host adds, activated and with their instances.
struct ActiveServers {
    ItemMotionHandler camera{};
    ItemMotionHandler object{};
    AnimSaverHandler saver{};
    void* cameraInstance = nullptr;
    void* objectInstance = nullptr;
    void* saverInstance = nullptr;
};

bool Activate(const ModuleDescriptor& module, const char* className, const char* serverName,
              void* record, std::ostream& log) {
    const ServerRecord* row = FindServer(module, className, serverName);
    if (row == nullptr) {
        log << "scenegrab-host: the module has no server " << serverName << '\n';
        return false;
    }
    if (row->activate(kHostInterfaceVersion, HostGlobal, record, nullptr) != 0) {
        log << "scenegrab-host: the server " << serverName << " refused interface version "
            << kHostInterfaceVersion << '\n';
        return false;
    }
    return true;
}

bool ActivateAll(const ModuleDescriptor& module, const RenderSettings& settings,
                 ActiveServers& servers, std::ostream& log) {
    if (settings.cameraController &&
        !Activate(module, kItemMotionHandlerClass, kCameraControllerServer, &servers.camera, log))
        return false;
    if (settings.objectController &&
        !Activate(module, kItemMotionHandlerClass, kObjectControllerServer, &servers.object, log))
        return false;
    if (!Activate(module, kAnimSaverHandlerClass, kSaverServer, &servers.saver, log))
        return false;
    if (settings.cameraController)
        servers.cameraInstance = servers.camera.create(nullptr, &g_session->camera);
    if (settings.objectController)
        servers.objectInstance = servers.object.create(nullptr, &g_session->ball);
    servers.saverInstance = servers.saver.create(nullptr, nullptr);
    if (servers.saverInstance == nullptr) {
        log << "scenegrab-host: the saver could not be created\n";
        return false;
    }
    return true;
}

void DestroyAll(ActiveServers& servers) {
    if (servers.cameraInstance != nullptr)
        servers.camera.destroy(servers.cameraInstance);
    if (servers.objectInstance != nullptr)
        servers.object.destroy(servers.objectInstance);
    if (servers.saverInstance != nullptr)
        servers.saver.destroy(servers.saverInstance);
}

void Evaluate(const ItemMotionHandler& handler, void* instance, HostItem& item, int frame,
              double time) {
    item.positionOverride.reset();
    item.rotationOverride.reset();
    if (instance == nullptr)
        return;
    const MotionAccess access{&item, frame, time, MotionGet, MotionSet};
    g_session->evaluating = &item;
    handler.evaluate(instance, &access);
    g_session->evaluating = nullptr;
}

// Renders and hands over one frame; false when the saver refused part of it.
bool RenderFrame(const ActiveServers& servers, const RenderSettings& settings, int frame) {
    const double time = frame / settings.framesPerSecond;
    HostSession& session = *g_session;
    Evaluate(servers.camera, servers.cameraInstance, session.camera, frame, time);
    Evaluate(servers.object, servers.objectInstance, session.ball, frame, time);

    const CameraPose pose{session.camera.positionOverride.value_or(settings.cameraPosition),
                          session.camera.rotationOverride.value_or(settings.cameraRotation)};
    const Vec3 ball = session.ball.positionOverride.value_or(BallPositionAt(time));
    const FramePlanes planes = RenderCameraView(pose, Radians(settings.horizontalFovDegrees),
                                                Radians(settings.verticalFovDegrees),
                                                settings.faceSize, settings.faceSize, ball);

    bool taken = servers.saver.begin(servers.saverInstance) == 0;
    const auto width = static_cast<std::size_t>(planes.width);
    for (int row = 0; row < planes.height; ++row) {
        const std::size_t at = static_cast<std::size_t>(row) * width;
        if (servers.saver.write(servers.saverInstance, planes.red.data() + at,
                                planes.green.data() + at, planes.blue.data() + at) != 0)
            taken = false;
    }
    return taken;
}

}  // namespace

Vec3 BallAtFrame(const RenderSettings& settings, int frame) {
    return BallPositionAt(frame / settings.framesPerSecond);
}

std::unique_ptr<StartedModule> StartedModule::Start(const ModuleDescriptor& module,
                                                    std::ostream& log) {
    if (std::string problem = CheckDescriptor(module); !problem.empty()) {
        log << "scenegrab-host: " << problem << '\n';
        return nullptr;
    }
    void* token = module.startup();
    if (token == nullptr) {
        log << "scenegrab-host: the module did not start\n";
        return nullptr;
    }
    return std::unique_ptr<StartedModule>(new StartedModule(module, token));
}

StartedModule::~StartedModule() {
    module_.shutdown(token_);
}

int StartedModule::Render(const RenderSettings& settings, std::ostream& log) {
    HostSession session;
    session.settings = &settings;
    session.sceneInfo.firstFrame = settings.firstFrame;
    session.sceneInfo.lastFrame = settings.lastFrame;
    session.itemInfo.first = FirstItem;
    session.cameraInfo.first = CameraZoom;
    session.cameraInfo.fieldOfView = CameraFieldOfView;
    g_session = &session;

    bool done = false;
    ActiveServers servers;
    if (ActivateAll(module_, settings, servers, log)) {
        const char* refusal = servers.saver.open(servers.saverInstance, settings.faceSize,
                                                 settings.faceSize, settings.outputFile.c_str());
        if (refusal != nullptr) {
            log << "scenegrab-host: " << refusal << '\n';
        } else {
            done = true;
            for (int frame = settings.firstFrame; frame <= settings.lastFrame; ++frame) {
                if (!RenderFrame(servers, settings, frame))
                    done = false;
            }
            if (servers.saver.close(servers.saverInstance) != 0)
                done = false;
            if (!done) {
                log << "scenegrab-host: the saver did not make every panorama\n";
            } else if (std::int64_t{settings.lastFrame} - settings.firstFrame + 1 < 6) {
                log << "scenegrab-host: frames " << settings.firstFrame << " to "
                    << settings.lastFrame << " hold no group of six faces: no panorama made\n";
                done = false;
            }
        }
    }
    DestroyAll(servers);
    g_session = nullptr;
    return done ? 0 : 1;
}

}  // namespace scenegrab_host
