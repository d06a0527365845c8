#pragma once
// Roamer's command numbers. Tests and the frame find actions by them; the values are those
// the program has always used.

enum RoamerCommand : int {
    kCmdResetPanorama = 32772,
    kCmdInstructions = 32773,
    kCmdPanoramaDetails = 32774,
    kCmdAntialiasOff = 32775,
    kCmdAntialiasLow = 32776,
    kCmdAntialiasHigh = 32777,
    kCmdUpsideDown = 32780,
    kCmdEnableRoll = 32781,
    kCmdEnablePan = 32782,
    kCmdEnableTilt = 32783,
    kCmdEnableZoom = 32784,
    kCmdFileOpen = 57601,
    kCmdRecentFile = 57616,
    kCmdAppAbout = 57664,
    kCmdAppExit = 57665,
    kCmdViewToolbar = 59392,
    kCmdViewStatusBar = 59393,
};
