// The one symbol the module exports: the descriptor a host reads first.

#include "plugin/host_interface/host_api.h"
#include "plugin/scenegrab/servers.h"

extern "C" __attribute__((visibility("default"))) const ModuleDescriptor _mod_descrip =
    scenegrab::ScenegrabDescriptor();
