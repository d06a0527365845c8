#pragma once
// The interface between a 3D renderer host and a plug-in module: what the host reads from the
// module, what the module's servers fill in when activated, the records passed to their
// callbacks, and the host services a module asks for by name. Plain C layouts, so a host and a
// module built apart agree on them; on 64-bit systems every function and table word is a
// pointer.
//
// Calling order the host follows: load the module -> read `_mod_descrip` and check its three
// numbers -> startup -> activate each server the user adds -> per frame: evaluate of each item
// motion handler, then the saver's begin and one write per scanline, top row first -> the
// saver's close at the end of the render -> shutdown -> unload. Every call comes on the host's
// thread.

#include <cstddef>
#include <cstdint>

extern "C" {

// --- Module descriptor ---

inline constexpr std::uint32_t kModuleSynchronisation = 0x04121994;
inline constexpr std::uint32_t kModuleInterfaceVersion = 2;
inline constexpr std::uint32_t kModuleMachineCode = 0x300;

// The host's service lookup: the record of the service `name`, or null when the host has none.
// Modules always pass 0 as `useMode`.
typedef void* (*HostGlobalFunction)(const char* name, int useMode);

// Fills `handlerRecord` for interface `version` and keeps `global`. 0 when done; 1 when the
// version is not served (nothing filled).
typedef int (*ServerActivateFunction)(int version, HostGlobalFunction global, void* handlerRecord,
                                      void* serverData);

// One row of the server table; the table ends with a row of nulls.
struct ServerRecord {
    const char* className;
    const char* serverName;
    ServerActivateFunction activate;
};

// Exported by the module under the name `_mod_descrip`.
struct ModuleDescriptor {
    std::uint32_t synchronisation;   // kModuleSynchronisation
    std::uint32_t interfaceVersion;  // kModuleInterfaceVersion
    std::uint32_t machineCode;       // kModuleMachineCode
    // Called once after loading; null when the module cannot run (it has said why), else a
    // token handed back to shutdown.
    void* (*startup)(void);
    // Called once before unloading with startup's token.
    void (*shutdown)(void* token);
    const ServerRecord* servers;
};

inline constexpr const char* kItemMotionHandlerClass = "ItemMotionHandler";
inline constexpr const char* kAnimSaverHandlerClass = "AnimSaverHandler";

// --- Records passed to the callbacks ---

typedef void* ItemId;  // the host's identifier of a scene item; null is no item

inline constexpr int kParameterPosition = 1;  // x, y, z
inline constexpr int kParameterRotation = 5;  // heading, pitch, bank in radians

// What an item motion handler's evaluate receives. The host's axes: x right, y up, z forward.
struct MotionAccess {
    ItemId item;
    std::int32_t frame;
    double time;  // seconds
    // The item's own animated value of `parameter` at `time` into value[0..2].
    void (*get)(int parameter, double time, double* value);
    // Overrides the item's `parameter` for the frame being evaluated with value[0..2].
    void (*set)(int parameter, const double* value);
};

// --- Handler records filled by activation, in slot order ---

// Interface version 2 copy: into `to` from `from`. Version 1 copy takes only the instance.
typedef int (*CopyFunction)(void* to, void* from);
typedef int (*CopyFunctionV1)(void* instance);
union CopySlot {
    CopyFunction version2;
    CopyFunctionV1 version1;
};

struct ItemMotionHandler {
    void* (*create)(void* serverData, ItemId item);
    void (*destroy)(void* instance);
    CopySlot copy;
    int (*load)(void* instance, const void* loadState);
    int (*save)(void* instance, const void* saveState);
    void (*evaluate)(void* instance, const MotionAccess* access);
    const char* (*description)(void* instance);  // version 2 only
};

struct AnimSaverHandler {
    void* (*create)(void* serverData, ItemId item);
    void (*destroy)(void* instance);
    CopySlot copy;
    int (*load)(void* instance, const void* loadState);
    int (*save)(void* instance, const void* saveState);
    // Before the render: the frame size and the output file's name. Null when the render may
    // go on, else the reason it must stop.
    const char* (*open)(void* instance, int frameWidth, int frameHeight, const char* fileName);
    // After the last frame. 0 when every finished output was made.
    int (*close)(void* instance);
    // Before each frame. 0 when every output it finished was made.
    int (*begin)(void* instance);
    // One scanline of the frame, top row first; each line holds frameWidth bytes. 0 when taken.
    int (*write)(void* instance, const void* red, const void* green, const void* blue);
    const char* (*description)(void* instance);  // version 2 only
};

// --- Host services, asked for through HostGlobalFunction ---

inline constexpr const char* kSceneInfoService = "LW Scene Info";
inline constexpr const char* kItemInfoService = "LW Item Info";
inline constexpr const char* kCameraInfoService = "LW Camera Info";

// The scene record: what precedes the frame range is the host's own.
struct SceneInfo {
    std::uint8_t hostPart[24];
    std::int32_t firstFrame;  // byte 24
    std::int32_t lastFrame;   // byte 28
};

inline constexpr int kItemTypeCamera = 2;

struct ItemInfo {
    // The first item of `type` below `parent` (null: the scene's top level); null when none.
    ItemId (*first)(int type, ItemId parent);
};

// Only the first and the sixth function are used by modules; the others are the host's own.
struct CameraInfo {
    double (*first)(ItemId camera, double time);
    void (*hostSlot2)(void);
    void (*hostSlot3)(void);
    void (*hostSlot4)(void);
    void (*hostSlot5)(void);
    // The camera's horizontal and vertical field of view at `time`, in radians.
    void (*fieldOfView)(ItemId camera, double time, double* horizontal, double* vertical);
};

}  // extern "C"

static_assert(offsetof(SceneInfo, firstFrame) == 24 && offsetof(SceneInfo, lastFrame) == 28);
static_assert(offsetof(CameraInfo, fieldOfView) == 5 * sizeof(void (*)(void)));
