#include "apps/compactor/compactor_messages.h"

#include "platform/message_box.h"

void ShowCompactorMessage(std::string_view text) {
    platform::MessageBox(platform::kNoWindow, text, "Compactor", platform::MB_OK);
}
