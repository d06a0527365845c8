#pragma once
// The command numbers of Cubestitch's menus, accelerators and caption buttons. The edit
// commands travel from the frame to the selected face pane, and from the batch run to each
// face pane, by these numbers.

namespace cubestitch {

inline constexpr int kCmdOpenLeft = 40001;  // 40001..40006: open one face, in CubeFace order
inline constexpr int kCmdOpenAll = 40007;
inline constexpr int kCmdExit = 40010;
inline constexpr int kCmdRotate90 = 40014;
inline constexpr int kCmdRotate180 = 40015;
inline constexpr int kCmdRotate270 = 40016;
inline constexpr int kCmdFlipVertical = 40018;
inline constexpr int kCmdFlipHorizontal = 40019;
inline constexpr int kCmdSeam = 40020;
inline constexpr int kCmdAbout = 40024;
inline constexpr int kCmdHelp = 40026;
inline constexpr int kCmdPreferences = 40029;
inline constexpr int kCmdViewPanorama = 40031;
inline constexpr int kCmdSave = 57603;
inline constexpr int kCmdCopy = 57634;
inline constexpr int kCmdPaste = 57637;

}  // namespace cubestitch
