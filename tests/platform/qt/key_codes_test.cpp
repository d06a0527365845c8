#include "platform/qt/key_codes.h"

#include <gtest/gtest.h>

#include "platform/messages.h"

namespace platform {
namespace {

TEST(VirtualKeyFromQt, MapsTheKeysTheViewersUse) {
    const struct {
        int key;
        int expected;
    } cases[] = {
        {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Right, VK_RIGHT},
        {Qt::Key_Up, VK_UP},
        {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Space, VK_SPACE},
        {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_Tab, VK_TAB},
        {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},
        {Qt::Key_F1, VK_F1},
        {Qt::Key_F12, VK_F1 + 11},
        {Qt::Key_A, 'A'},
        {Qt::Key_Z, 'Z'},
        {Qt::Key_0, '0'},
        {Qt::Key_9, '9'},
        {Qt::Key_Control, VK_CONTROL},
        {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_PageUp, VK_PRIOR},
        {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_Launch0, 0},
        {Qt::Key_unknown, 0},
        {Qt::Key_Exclam, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.key), c.expected) << c.key;
}

TEST(MouseKeyFlags, CombinesButtonsAndModifiers) {
    const struct {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t expected;
    } cases[] = {
        {Qt::NoButton, Qt::NoModifier, 0},
        {Qt::LeftButton, Qt::NoModifier, MK_LBUTTON},
        {Qt::LeftButton, Qt::ControlModifier, MK_LBUTTON | MK_CONTROL},
        {Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
         MK_LBUTTON | MK_SHIFT | MK_CONTROL},
        {Qt::RightButton | Qt::MiddleButton, Qt::AltModifier, MK_RBUTTON | MK_MBUTTON},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MouseKeyFlags(c.buttons, c.modifiers), c.expected);
}

}  // namespace
}  // namespace platform
