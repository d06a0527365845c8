#pragma once
// The stand-in host's command line:
//   scenegrab-host [-first N] [-last N] [-size N] [-plugin PATH] OUTPUT
// OUTPUT is the file the saver is given; frames run from -first to -last (default 1 to 6);
// -size is the width and height of every rendered frame in pixels (default 256); -plugin names
// the module (default: scenegrab.so beside the host, else in ../lib/halvex/plugins).

#include <optional>
#include <string>
#include <vector>

#include "plugin/scenegrab_host/render_job.h"

namespace scenegrab_host {

struct HostCommandLine {
    RenderSettings settings;
    std::string pluginPath;  // empty: the default places
};

inline constexpr const char* kHostUsage =
    "usage: scenegrab-host [-first N] [-last N] [-size N] [-plugin PATH] OUTPUT";

// Nullopt, with `error` set, for an unknown switch, a missing or malformed number, a size
// below 1 or above 8192, a frame number below 1, a last frame before the first, or no (or more
// than one) output name.
std::optional<HostCommandLine> ParseHostCommandLine(const std::vector<std::string>& args,
                                                    std::string* error);

// The module to load: `requested` when given, else scenegrab.so beside `hostProgram`, else
// <host folder>/../lib/halvex/plugins/scenegrab.so when that exists (the installed layout).
std::string FindPluginModule(const std::string& requested, const std::string& hostProgram);

}  // namespace scenegrab_host
