#pragma once
// The process's media service: media-control command strings (one device per alias, the
// device name doubling as the alias) and wave sound played by file name. A process has one
// service; tests install a recording one, the programs one with real outputs.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Result codes of a media-control command; 0 is success.
enum MciError : int {
    kMciOk = 0,
    kMciUnrecognizedCommand = 1,  // unknown verb or malformed arguments
    kMciMissingName = 2,          // no device name in the command
    kMciCannotOpen = 3,           // the file cannot be read or holds nothing playable
    kMciUnknownDevice = 4,        // no open device has that name
    kMciNameInUse = 5,            // a device of that name is already open
    kMciCannotPlay = 6,           // playback could not start
};

// Wave-sound flags (their values are the ones callers have always passed).
inline constexpr unsigned kSoundAsync = 0x0001;
inline constexpr unsigned kSoundNoDefault = 0x0002;
inline constexpr unsigned kSoundLoop = 0x0008;
inline constexpr unsigned kSoundNoWait = 0x2000;
inline constexpr unsigned kSoundFilename = 0x20000;

// The window that a completion notice goes to, as the number the command strings carry.
using MediaWindowId = std::uintptr_t;

class MediaService {
  public:
    virtual ~MediaService() = default;
    // Runs one command string; `reply` (may be null) receives a status reply. `notifyWindow`
    // receives the completion notice of a "notify" play. Any thread; thread-safe.
    virtual int SendString(std::string_view command, std::string* reply,
                           MediaWindowId notifyWindow) = 0;
    // A null `name` stops wave sound; otherwise the wave file plays asynchronously, looped with
    // kSoundLoop, replacing what played before. A file that cannot be played plays nothing
    // (false). Any thread; thread-safe.
    virtual bool PlayWave(const char* name, unsigned flags) = 0;
};

// Replaces the process's service and returns the previous one (null before the first call).
// Until one is installed the service decodes for real and presents nothing.
std::shared_ptr<MediaService> InstallMediaService(std::shared_ptr<MediaService> service);
std::shared_ptr<MediaService> CurrentMediaService();

// Sends `command` to the process's service; the status reply is copied into `reply` (at most
// `replyLength` - 1 characters and a terminator) when `reply` is not null. Returns the code.
int SendMciString(std::string_view command, char* reply, std::size_t replyLength,
                  MediaWindowId notifyWindow);
// Wave sound through the process's service; `module` is unused and kept for its callers.
bool PlaySound(const char* name, const void* module, unsigned flags);

// The wParam of the completion notice: the play ran to its end.
inline constexpr std::uintptr_t kMediaNotifySuccessful = 1;
// Queues the completion notice (MM_MCINOTIFY, kMediaNotifySuccessful) on `window`; dropped
// when the window is gone. Any thread.
void PostMediaNotify(MediaWindowId window);

}  // namespace platform
