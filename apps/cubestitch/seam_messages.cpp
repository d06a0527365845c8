#include "apps/cubestitch/seam_messages.h"

#include "platform/message_box.h"

namespace cubestitch {

int ShowSeamMessage(std::string_view text, std::uint32_t type) {
    return platform::MessageBox(platform::kNoWindow, text, "Cubestitch", type);
}

}  // namespace cubestitch
