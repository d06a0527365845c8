#pragma once
// Qt key codes and modifiers in the classic desktop terms the engine's handlers expect:
// virtual-key codes and the MK_* key flags of mouse messages. Pure functions, any thread.

#include <cstdint>

#include <Qt>

namespace platform {

// The virtual-key code of `key` (a Qt::Key value); 0 for a key with no such code.
int VirtualKeyFromQt(int key);

// The MK_* flags for the held mouse buttons and keyboard modifiers.
std::uint32_t MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace platform
