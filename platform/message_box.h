#pragma once
// Message boxes. User-interface thread.
//
// With a backend installed and batch mode off, the backend shows the box and returns the
// user's answer. With no backend, or in batch mode, nothing waits: the caption and the text
// go to standard error as "caption: text" and the default answer is returned (the button
// that MB_DEFBUTTON2/3 names, else the first button).

#include <cstdint>
#include <string_view>

#include "platform/window.h"

namespace platform {

// Button sets (the low four bits of the type).
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_OKCANCEL = 0x1;
inline constexpr std::uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr std::uint32_t MB_YESNO = 0x4;
inline constexpr std::uint32_t MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x20;
inline constexpr std::uint32_t MB_ICONWARNING = 0x30;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
// Default button.
inline constexpr std::uint32_t MB_DEFBUTTON1 = 0x000;
inline constexpr std::uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr std::uint32_t MB_DEFBUTTON3 = 0x200;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows the box (owner may be kNoWindow) and returns the answer.
int MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
               std::uint32_t type);

// The answer a box of `type` gives when nobody is asked.
int DefaultMessageBoxAnswer(std::uint32_t type);

// Batch mode: every message box answers by default without showing anything. Any thread.
void SetBatchMode(bool on);
bool IsBatchMode();

}  // namespace platform
