#pragma once
// Loading a plug-in module: the shared object is opened, its `_mod_descrip` looked up and its
// three numbers checked. Host thread only.

#include <memory>
#include <string>

#include "plugin/host_interface/host_api.h"

namespace scenegrab_host {

// Empty when the descriptor's synchronisation value, interface version and machine code are
// the ones this host speaks and it has a start-up, a shutdown and a server table; else what is
// wrong, as a sentence.
std::string CheckDescriptor(const ModuleDescriptor& descriptor);

// The server row with this class and name, or null.
const ServerRecord* FindServer(const ModuleDescriptor& descriptor, const char* className,
                               const char* serverName);

// An opened module; lets go of it when destroyed (after the caller has called its shutdown).
// The module itself stays mapped until the process ends.
class PluginModule {
  public:
    // Opens `path` and checks its descriptor. Null, with `error` set, when it cannot be opened,
    // has no descriptor or the descriptor is refused.
    static std::unique_ptr<PluginModule> Open(const std::string& path, std::string* error);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const ModuleDescriptor& Descriptor() const { return *descriptor_; }

  private:
    PluginModule(void* handle, const ModuleDescriptor* descriptor)
        : handle_(handle), descriptor_(descriptor) {}

    void* handle_;
    const ModuleDescriptor* descriptor_;
};

}  // namespace scenegrab_host
