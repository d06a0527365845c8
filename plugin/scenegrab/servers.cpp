#include "plugin/scenegrab/servers.h"

#include <new>

#include "plugin/scenegrab/controllers.h"
#include "plugin/scenegrab/module_state.h"
#include "plugin/scenegrab/panorama_saver.h"
#include "plugin/scenegrab/plugin_ui.h"
#include "plugin/scenegrab/plugin_viewer.h"

namespace scenegrab {

namespace {

constexpr const char* kNoPluginMemory = "Unable to allocate memory for plug-in data.";

// The controllers keep no per-instance state: every instance is this one.
int g_controllerInstance = 0;

// Runs `body`; an exception leaving it is reported and turned into `failure`.
template <typename Result, typename Body>
Result Guarded(Result failure, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        ShowMessage("Unable to allocate memory.");
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
    return failure;
}

SaverData* Saver(void* instance) {
    return static_cast<SaverData*>(instance);
}

extern "C" {

void* ControllerCreate(void* /*serverData*/, ItemId /*item*/) {
    return &g_controllerInstance;
}

void ControllerDestroy(void* /*instance*/) {}

int CopyNothing(void* /*to*/, void* /*from*/) {
    return 0;
}

int CopyNothingV1(void* /*instance*/) {
    return 0;
}

int LoadNothing(void* /*instance*/, const void* /*state*/) {
    return 0;
}

int SaveNothing(void* /*instance*/, const void* /*state*/) {
    return 0;
}

void CameraEvaluateCallback(void* instance, const MotionAccess* access) {
    Guarded(0, [&] {
        CameraEvaluate(instance, access);
        return 0;
    });
}

void ObjectEvaluateCallback(void* instance, const MotionAccess* access) {
    Guarded(0, [&] {
        ObjectEvaluate(instance, access);
        return 0;
    });
}

const char* CameraDescription(void* /*instance*/) {
    static const char text[] = "CVNCameraController";
    return text;
}

const char* ObjectDescription(void* /*instance*/) {
    static const char text[] = "CVNObjectController";
    return text;
}

const char* SaverDescription(void* /*instance*/) {
    static const char text[] = "CVNSaver";
    return text;
}

void* SaverCreate(void* /*serverData*/, ItemId /*item*/) {
    auto* data = new (std::nothrow) SaverData;
    if (data == nullptr)
        ShowMessage(kNoPluginMemory);
    return data;
}

void SaverDestroy(void* instance) {
    delete Saver(instance);
}

const char* SaverOpenCallback(void* instance, int width, int height, const char* fileName) {
    if (instance == nullptr)
        return kRenderingCancelled;
    return Guarded<const char*>(
        kRenderingCancelled, [&] { return SaverOpen(*Saver(instance), width, height, fileName); });
}

int SaverCloseCallback(void* instance) {
    return instance == nullptr ? 1 : Guarded(1, [&] { return SaverClose(*Saver(instance)); });
}

int SaverBeginCallback(void* instance) {
    return instance == nullptr ? 1 : Guarded(1, [&] { return SaverBegin(*Saver(instance)); });
}

int SaverWriteCallback(void* instance, const void* red, const void* green, const void* blue) {
    if (instance == nullptr)
        return 1;
    return Guarded(1, [&] {
        return SaverWrite(*Saver(instance), static_cast<const std::uint8_t*>(red),
                          static_cast<const std::uint8_t*>(green),
                          static_cast<const std::uint8_t*>(blue));
    });
}

void* StartupCallback() {
    return Guarded<void*>(nullptr, [] { return ModuleStartup(); });
}

void ShutdownCallback(void* token) {
    Guarded(0, [&] {
        ModuleShutdown(token);
        return 0;
    });
}

}  // extern "C"

int FillController(int version, HostGlobalFunction global, void* handlerRecord,
                   void (*evaluate)(void*, const MotionAccess*),
                   const char* (*description)(void*)) {
    if ((version != 1 && version != 2) || handlerRecord == nullptr)
        return 1;
    auto* record = static_cast<ItemMotionHandler*>(handlerRecord);
    record->create = ControllerCreate;
    record->destroy = ControllerDestroy;
    if (version == 2)
        record->copy.version2 = CopyNothing;
    else
        record->copy.version1 = CopyNothingV1;
    record->load = LoadNothing;
    record->save = SaveNothing;
    record->evaluate = evaluate;
    if (version == 2)
        record->description = description;
    Module().global = global;
    return 0;
}

}  // namespace

void* ModuleStartup() {
    Module() = ModuleState{};
    StartPluginGui();
    SetPanoramaPresenter(ShowInViewerWindow);
    return &Module();
}

void ModuleShutdown(void* /*token*/) {
    SetPanoramaPresenter({});
    CloseViewerWindow();
    StopPluginGui();
    Module() = ModuleState{};
}

int CameraControllerActivate(int version, HostGlobalFunction global, void* handlerRecord,
                             void* /*serverData*/) {
    const int result =
        FillController(version, global, handlerRecord, CameraEvaluateCallback, CameraDescription);
    if (result == 0) {
        Module().fovWarned = false;
        Module().cameraControllerActive = true;
    }
    return result;
}

int ObjectControllerActivate(int version, HostGlobalFunction global, void* handlerRecord,
                             void* /*serverData*/) {
    return FillController(version, global, handlerRecord, ObjectEvaluateCallback,
                          ObjectDescription);
}

int SaverActivate(int version, HostGlobalFunction global, void* handlerRecord,
                  void* /*serverData*/) {
    if ((version != 1 && version != 2) || handlerRecord == nullptr)
        return 1;
    auto* record = static_cast<AnimSaverHandler*>(handlerRecord);
    record->create = SaverCreate;
    record->destroy = SaverDestroy;
    if (version == 2)
        record->copy.version2 = CopyNothing;
    else
        record->copy.version1 = CopyNothingV1;
    record->load = LoadNothing;
    record->save = SaveNothing;
    record->open = SaverOpenCallback;
    record->close = SaverCloseCallback;
    record->begin = SaverBeginCallback;
    record->write = SaverWriteCallback;
    if (version == 2)
        record->description = SaverDescription;
    Module().global = global;
    return 0;
}

const ServerRecord* ServerTable() {
    static const ServerRecord table[] = {
        {kItemMotionHandlerClass, kCameraControllerName, CameraControllerActivate},
        {kItemMotionHandlerClass, kObjectControllerName, ObjectControllerActivate},
        {kAnimSaverHandlerClass, kSaverName, SaverActivate},
        {nullptr, nullptr, nullptr},
    };
    return table;
}

const ModuleDescriptor& ScenegrabDescriptor() {
    static const ModuleDescriptor descriptor{kModuleSynchronisation, kModuleInterfaceVersion,
                                             kModuleMachineCode,     StartupCallback,
                                             ShutdownCallback,       ServerTable()};
    return descriptor;
}

}  // namespace scenegrab
