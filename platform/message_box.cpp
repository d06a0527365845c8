#include "platform/message_box.h"

#include <atomic>
#include <iostream>

#include "platform/backend.h"

namespace platform {
namespace {

std::atomic<bool> batchMode{false};

// The answers of each button set, in button order.
int NthButton(std::uint32_t buttons, int n) {
    static const int kOk[] = {IDOK};
    static const int kOkCancel[] = {IDOK, IDCANCEL};
    static const int kAbortRetryIgnore[] = {IDABORT, IDRETRY, IDIGNORE};
    static const int kYesNoCancel[] = {IDYES, IDNO, IDCANCEL};
    static const int kYesNo[] = {IDYES, IDNO};
    static const int kRetryCancel[] = {IDRETRY, IDCANCEL};
    auto pick = [n](const auto& set) {
        const int count = static_cast<int>(std::size(set));
        return set[n < count ? n : 0];
    };
    switch (buttons) {
        case MB_OKCANCEL:
            return pick(kOkCancel);
        case MB_ABORTRETRYIGNORE:
            return pick(kAbortRetryIgnore);
        case MB_YESNOCANCEL:
            return pick(kYesNoCancel);
        case MB_YESNO:
            return pick(kYesNo);
        case MB_RETRYCANCEL:
            return pick(kRetryCancel);
        default:
            return pick(kOk);
    }
}

}  // namespace

int DefaultMessageBoxAnswer(std::uint32_t type) {
    const int defaultIndex = static_cast<int>((type >> 8) & 0xF);
    return NthButton(type & 0xF, defaultIndex);
}

int MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
               std::uint32_t type) {
    Backend* backend = InstalledBackend();
    if (backend && !IsBatchMode())
        return backend->MessageBox(owner, text, caption, type);
    std::cerr << caption << ": " << text << std::endl;
    return DefaultMessageBoxAnswer(type);
}

void SetBatchMode(bool on) {
    batchMode.store(on);
}

bool IsBatchMode() {
    return batchMode.load();
}

}  // namespace platform
