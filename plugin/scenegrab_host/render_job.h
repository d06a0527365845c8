#pragma once
// One render of the demo scene through a plug-in module, as a renderer host does it: start
// the module, activate its camera controller (on the camera), its object controller (on the
// ball) and its saver, open the saver, then for every frame evaluate the controllers, render
// the camera's view and hand it to the saver row by row, top row first; close the saver and
// shut the module down. The host serves "LW Scene Info", "LW Item Info" and "LW Camera Info".
// Host thread only; one render at a time per process (the host services have no context).

#include <iosfwd>
#include <memory>
#include <string>

#include "plugin/host_interface/host_api.h"
#include "plugin/scenegrab_host/demo_scene.h"

namespace scenegrab_host {

inline constexpr const char* kCameraControllerServer = "CVNCameraController";
inline constexpr const char* kObjectControllerServer = "CVNObjectController";
inline constexpr const char* kSaverServer = "CVNSaver";

struct RenderSettings {
    std::string outputFile;
    int firstFrame = 1;
    int lastFrame = 6;
    int faceSize = 256;
    double horizontalFovDegrees = 90.0;
    double verticalFovDegrees = 90.0;
    Vec3 cameraPosition{0, 1.5, 0};
    Vec3 cameraRotation{};  // heading, pitch, bank in radians, the same on every frame
    double framesPerSecond = 30.0;
    bool cameraController = true;  // add the camera controller to the camera
    bool objectController = true;  // add the object controller to the ball
};

// The interface version the host activates servers with.
inline constexpr int kHostInterfaceVersion = 2;

// A started module: start-up has run; the destructor runs its shutdown. Keep the module
// loaded while this lives.
class StartedModule {
  public:
    // Checks the descriptor and runs the module's start-up. Null, with the reason written to
    // `log`, when the descriptor is refused or the start-up fails.
    static std::unique_ptr<StartedModule> Start(const ModuleDescriptor& module, std::ostream& log);
    ~StartedModule();
    StartedModule(const StartedModule&) = delete;
    StartedModule& operator=(const StartedModule&) = delete;

    // Runs one render. 0 when every frame was rendered and taken, the frames held at least one
    // group of six (so a panorama was made) and the saver reported every output made; 1
    // otherwise, with the reason written to `log` (the saver's own messages go through its
    // message boxes).
    int Render(const RenderSettings& settings, std::ostream& log);

  private:
    StartedModule(const ModuleDescriptor& module, void* token) : module_(module), token_(token) {}

    const ModuleDescriptor& module_;
    void* token_;
};

// The ball's position on `frame` without an object controller.
Vec3 BallAtFrame(const RenderSettings& settings, int frame);

}  // namespace scenegrab_host
