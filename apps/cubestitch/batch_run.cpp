#include "apps/cubestitch/batch_run.h"

#include <QApplication>

#include "apps/cubestitch/seam_frame.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/qt/qt_paths.h"

namespace cubestitch {

namespace {

// Loads slot `face` into its pane and replays its flags; false when the face is unusable.
bool LoadFaceAndReplay(CSeamFrame& frame, int face, CommandSlot& slot) {
    frame.setWindowTitle(QStringLiteral("Loading ") + platform::PathText(slot.name));
    QApplication::processEvents();
    const std::string shown = platform::PathForDisplay(slot.name);
    if (!frame.LoadFace(face, slot.name, "Failed to load image " + shown,
                        "Failed to decompress image " + shown))
        return false;
    while (!slot.operations.empty()) {
        const int command = PaneCommandOf(slot.operations.front());
        slot.operations.pop_front();
        if (command != 0)
            frame.FacePane(face).OnEditCommand(command);
    }
    return true;
}

BatchResult LoadSeamAndSave(CSeamFrame& frame, CSeamCommandLineInfo& info) {
    const int lastFace = std::min(info.m_lastSlot, kCubeFaceCount - 1);
    for (int k = 0; k <= lastFace; ++k) {
        if (!LoadFaceAndReplay(frame, k, info.m_slots[static_cast<std::size_t>(k)]))
            return BatchResult::FaceFailed;
    }
    if (!info.NamesOutput())
        return BatchResult::FacesLoaded;
    if (!frame.OnSeam())
        return BatchResult::SeamFailed;
    const std::string& output = info.m_slots[CSeamCommandLineInfo::kOutputSlot].name;
    return frame.SavePanoramaTo(output) ? BatchResult::Written : BatchResult::SaveFailed;
}

}  // namespace

BatchResult RunBatch(CSeamFrame& frame, CSeamCommandLineInfo& info) {
    if (info.extraName) {
        frame.Services().ask(
            "Too many names on the command line: " + platform::PathForDisplay(*info.extraName),
            platform::MB_OK);
        return BatchResult::TooManyNames;
    }
    if (!info.NamesAnyFile())
        return BatchResult::NothingNamed;
    const QString title = frame.windowTitle();
    const BatchResult result = LoadSeamAndSave(frame, info);
    frame.setWindowTitle(title);
    return result;
}

int ExitStatusOf(BatchResult result) {
    switch (result) {
        case BatchResult::NothingNamed:
        case BatchResult::FacesLoaded:
        case BatchResult::Written:
            return 0;
        case BatchResult::FaceFailed:
        case BatchResult::SeamFailed:
        case BatchResult::SaveFailed:
        case BatchResult::TooManyNames:
            break;
    }
    return 1;
}

}  // namespace cubestitch
