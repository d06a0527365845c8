#pragma once
// The hotspot editor's menu commands: their numbers, menu texts and when each is enabled.
// Pure data; any thread.

#include <array>

enum LinksmithCommand : int {
    kCmdFileOpen = 57601,
    kCmdFileClose = 57602,
    kCmdFileSave = 57603,
    kCmdFileSaveAs = 40014,
    kCmdExit = 40003,
    kCmdResetPanorama = 40012,
    kCmdEditHotspotDescription = 40008,
    kCmdDeleteHotspot = 40009,
    kCmdTestHotspot = 40010,
    kCmdTourAllHotspots = 40011,
    kCmdInstructions = 40006,
    kCmdAbout = 40013,
    kCmdSetInitialViewCurrent = 40015,
    kCmdSetInitialViewDefault = 40016,
    kCmdEmbeddedFiles = 40019,
    kCmdDefineDimensions = 40020,
    kCmdPanoramaDetails = 40021,
};

// When a command is enabled (the others are grayed).
enum class EnableRule {
    Always,
    WithPanorama,   // a panorama is open
    WhenModified,   // a panorama is open and changed since it was opened or saved
    WithHotspots,   // a panorama with at least one hotspot is open
    WithSelection,  // a hotspot is selected
};

struct CommandInfo {
    int id;
    const char* text;
    EnableRule rule;
    bool separatorBefore;
};

// The File menu, top to bottom.
inline constexpr std::array<CommandInfo, 12> kFileMenuCommands{{
    {kCmdFileOpen, "&Open", EnableRule::Always, false},
    {kCmdFileClose, "&Close", EnableRule::WithPanorama, false},
    {kCmdFileSave, "&Save", EnableRule::WhenModified, false},
    {kCmdFileSaveAs, "Save &As...", EnableRule::WithPanorama, false},
    {kCmdResetPanorama, "&Reset Panorama\tSpace bar", EnableRule::WithPanorama, true},
    {kCmdSetInitialViewCurrent, "Set to &Current View", EnableRule::WithPanorama, false},
    {kCmdSetInitialViewDefault, "Set to &Default View", EnableRule::WithPanorama, false},
    {kCmdTourAllHotspots, "&Tour All Hot Spots", EnableRule::WithHotspots, false},
    {kCmdDefineDimensions, "Angular Si&ze...", EnableRule::WithPanorama, true},
    {kCmdEmbeddedFiles, "E&mbedded Files...", EnableRule::WithPanorama, false},
    {kCmdPanoramaDetails, "&Panorama Details...", EnableRule::WithPanorama, false},
    {kCmdExit, "E&xit", EnableRule::Always, true},
}};

// The Edit menu, top to bottom: the commands on the selected hotspot.
inline constexpr std::array<CommandInfo, 3> kEditMenuCommands{{
    {kCmdEditHotspotDescription, "&Edit Hotspot Description", EnableRule::WithSelection, false},
    {kCmdTestHotspot, "&Test Hotspot", EnableRule::WithSelection, false},
    {kCmdDeleteHotspot, "&Delete Hotspot", EnableRule::WithSelection, false},
}};

// The Help menu, top to bottom.
inline constexpr std::array<CommandInfo, 2> kHelpMenuCommands{{
    {kCmdInstructions, "Linksmith &Instructions...", EnableRule::Always, false},
    {kCmdAbout, "&About Linksmith...", EnableRule::Always, true},
}};

// The submenu of the File menu that holds a command, or null for none.
constexpr const char* SubmenuOf(int command) {
    return command == kCmdSetInitialViewCurrent || command == kCmdSetInitialViewDefault
               ? "&Initial View"
               : nullptr;
}

// Which popup of the editor's menu a right click shows.
enum class ContextPopup { File, Edit };
