#include "plugin/scenegrab_host/plugin_module.h"

#include <dlfcn.h>

#include <cstring>

#include "platform/path_text.h"

namespace scenegrab_host {

std::string CheckDescriptor(const ModuleDescriptor& descriptor) {
    if (descriptor.synchronisation != kModuleSynchronisation)
        return "the module descriptor's synchronisation value is wrong";
    if (descriptor.interfaceVersion != kModuleInterfaceVersion)
        return "the module was made for interface version " +
               std::to_string(descriptor.interfaceVersion);
    if (descriptor.machineCode != kModuleMachineCode)
        return "the module was made for another machine";
    if (descriptor.startup == nullptr || descriptor.shutdown == nullptr ||
        descriptor.servers == nullptr)
        return "the module descriptor lacks its start-up, shutdown or server table";
    return {};
}

const ServerRecord* FindServer(const ModuleDescriptor& descriptor, const char* className,
                               const char* serverName) {
    for (const ServerRecord* row = descriptor.servers; row->className != nullptr; ++row) {
        if (std::strcmp(row->className, className) == 0 && row->serverName != nullptr &&
            std::strcmp(row->serverName, serverName) == 0 && row->activate != nullptr)
            return row;
    }
    return nullptr;
}

std::unique_ptr<PluginModule> PluginModule::Open(const std::string& path, std::string* error) {
    // The module stays mapped after the host lets go of it: a module that used Qt leaves its
    // registrations there, which must not point into unmapped code.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char* reason = dlerror();
        *error = "cannot load " + platform::PathForDisplay(path) + ": " +
                 platform::PathForDisplay(reason != nullptr ? reason : "unknown reason");
        return nullptr;
    }
    const auto* descriptor = static_cast<const ModuleDescriptor*>(dlsym(handle, "_mod_descrip"));
    if (descriptor == nullptr) {
        *error = platform::PathForDisplay(path) + " is not a plug-in module (no _mod_descrip)";
        dlclose(handle);
        return nullptr;
    }
    if (std::string problem = CheckDescriptor(*descriptor); !problem.empty()) {
        *error = platform::PathForDisplay(path) + ": " + problem;
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(handle, descriptor));
}

PluginModule::~PluginModule() {
    dlclose(handle_);
}

}  // namespace scenegrab_host
