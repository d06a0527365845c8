#pragma once
// A media service for tests: it records every command string and wave-sound call, in order,
// plays nothing, and answers with the codes the test chose.

#include <string>
#include <utility>
#include <vector>

#include "platform/guarded.h"
#include "platform/media/media_service.h"

namespace platform {

class RecordingMediaService final : public MediaService {
  public:
    // Commands that begin with `prefix` return `code` (the first matching rule wins); all
    // others return 0.
    void FailCommandsStartingWith(std::string prefix, int code);
    // The log: command strings as sent; wave calls as "PlaySound(NAME, 0xFLAGS)" with "null"
    // for a null name.
    std::vector<std::string> Log() const;
    void ClearLog();

    int SendString(std::string_view command, std::string* reply,
                   MediaWindowId notifyWindow) override;
    bool PlayWave(const char* name, unsigned flags) override;

  private:
    struct State {
        std::vector<std::string> log;
        std::vector<std::pair<std::string, int>> failures;
    };
    Guarded<State> state_;
};

}  // namespace platform
