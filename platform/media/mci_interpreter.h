#pragma once
// The media service over a real backend: the command strings are interpreted here, each open
// device is one clip of the backend, and wave sound is one more clip of its own.
//
// Commands understood (NAME may contain blanks; it is both the file and the alias):
//   open NAME                         open NAME parent N style popup   (N = 0: full screen)
//   put NAME window at X Y W H        play NAME [from MS] [repeat] [notify]
//   status NAME position              close NAME

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/guarded.h"
#include "platform/media/media_backend.h"
#include "platform/media/media_service.h"

namespace platform {

// A command string split into its parts; nullopt for anything outside the list above.
struct MciCommand {
    enum class Verb { kOpen, kPut, kPlay, kStatusPosition, kClose } verb = Verb::kOpen;
    std::string name;
    std::optional<long long> parent;  // open ... parent N style popup
    ScreenRect rect;                  // put
    std::optional<long long> from;    // play ... from MS
    bool repeat = false;
    bool notify = false;
};
std::optional<MciCommand> ParseMciCommand(std::string_view command);

class MciMediaService final : public MediaService {
  public:
    explicit MciMediaService(std::shared_ptr<MediaBackend> backend);
    ~MciMediaService() override;
    int SendString(std::string_view command, std::string* reply,
                   MediaWindowId notifyWindow) override;
    bool PlayWave(const char* name, unsigned flags) override;

  private:
    struct Clips {
        std::map<std::string, std::unique_ptr<MediaClip>> devices;
        std::unique_ptr<MediaClip> wave;
    };
    std::shared_ptr<MediaBackend> backend_;
    Guarded<Clips> clips_;
};

}  // namespace platform
