#pragma once
// Window message numbers, virtual-key codes, mouse key flags and the packing of message
// parameters. The values are those of the classic desktop API, because stored settings,
// action texts and peers rely on them (a key code in `SendKey`, a notification number chosen
// by an embedding program).

#include <cstdint>

namespace platform {

// Message numbers.
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
inline constexpr std::uint32_t WM_MOVE = 0x0003;
inline constexpr std::uint32_t WM_SIZE = 0x0005;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_DROPFILES = 0x0233;
inline constexpr std::uint32_t MM_MCINOTIFY = 0x03B9;
inline constexpr std::uint32_t WM_USER = 0x0400;

// WM_SIZE wParam values.
inline constexpr std::uintptr_t SIZE_RESTORED = 0;
inline constexpr std::uintptr_t SIZE_MINIMIZED = 1;
inline constexpr std::uintptr_t SIZE_MAXIMIZED = 2;

// Virtual-key codes.
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_F1 = 0x70;
// Letters and digits are their upper-case character codes ('A' = 0x41, '0' = 0x30).

// Mouse key flags (wParam of the mouse messages).
inline constexpr std::uint32_t MK_LBUTTON = 0x0001;
inline constexpr std::uint32_t MK_RBUTTON = 0x0002;
inline constexpr std::uint32_t MK_SHIFT = 0x0004;
inline constexpr std::uint32_t MK_CONTROL = 0x0008;
inline constexpr std::uint32_t MK_MBUTTON = 0x0010;

// lParam of the mouse messages and of WM_SIZE/WM_MOVE: low word x (or width), high word y
// (or height), each 16 bits.
constexpr std::intptr_t MakeLParam(int low, int high) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}
constexpr int LowWord(std::intptr_t value) {
    return static_cast<int>(value & 0xFFFF);
}
constexpr int HighWord(std::intptr_t value) {
    return static_cast<int>((value >> 16) & 0xFFFF);
}

// lParam of WM_KEYDOWN/WM_KEYUP: bits 0-15 repeat count, 16-23 scan code, 24 extended key,
// 30 previous key state (1 = was down), 31 transition (1 = being released).
constexpr std::intptr_t MakeKeyData(int repeatCount, bool wasDown, bool releasing) {
    std::uint32_t data = static_cast<std::uint32_t>(repeatCount) & 0xFFFFu;
    if (wasDown)
        data |= 1u << 30;
    if (releasing)
        data |= 1u << 31;
    return static_cast<std::intptr_t>(data);
}

}  // namespace platform
