#pragma once
// The module's face to the host: its start-up and shutdown, the server table and the three
// activation functions that fill the handler records. Every callback handed to the host keeps
// exceptions inside the module. Host thread only.

#include "plugin/host_interface/host_api.h"

namespace scenegrab {

inline constexpr const char* kCameraControllerName = "CVNCameraController";
inline constexpr const char* kObjectControllerName = "CVNObjectController";
inline constexpr const char* kSaverName = "CVNSaver";

// Start-up: resets the module's state, readies its dialogs and makes the viewer window the
// saver's presenter. Returns the token for shutdown.
void* ModuleStartup();
// Shutdown: closes the viewer window, lets go of the dialogs and resets the module's state.
void ModuleShutdown(void* token);

// Version 2: every slot including description; version 1: every slot but description, with
// the one-argument copy. Both store `global` and return 0. Other versions fill nothing and
// return 1. The camera controller's also clears the field-of-view warning and marks the
// camera controller active.
int CameraControllerActivate(int version, HostGlobalFunction global, void* handlerRecord,
                             void* serverData);
int ObjectControllerActivate(int version, HostGlobalFunction global, void* handlerRecord,
                             void* serverData);
int SaverActivate(int version, HostGlobalFunction global, void* handlerRecord, void* serverData);

// The server table, ended by a row of nulls.
const ServerRecord* ServerTable();

// The module descriptor the module exports as `_mod_descrip`.
const ModuleDescriptor& ScenegrabDescriptor();

}  // namespace scenegrab
