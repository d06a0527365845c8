// The hotspot editor's commands on what the panorama carries besides its hotspots: the initial
// view, the angular size, the embedded files and the details.

#include <cmath>

#include "apps/linksmith/editor_sections.h"
#include "apps/linksmith/embedded_files_sync.h"
#include "apps/linksmith/linksmith_editor.h"
#include "platform/input.h"

namespace {

// Halves away from zero.
int WholeDegrees(double degrees) {
    return static_cast<int>(std::lround(degrees));
}

}  // namespace

void LinksmithEditor::OnSetInitialViewCurrent() {
    if (!viewer_)
        return;
    state_.modified = true;
    double pan = 0, tilt = 0, roll = 0, fov = 0;
    viewer_->GetView(&pan, &tilt, &roll, &fov);
    EditorInitialView& view = state_.initialView;
    view.pan = WholeDegrees(pan);
    view.tilt = WholeDegrees(tilt);
    view.roll = WholeDegrees(roll);
    view.fieldOfView = WholeDegrees(fov);
    const HomeView home{view.pan, view.tilt, view.roll, view.fieldOfView};
    viewer_->SetOption(ViewerOption::kHomeView, &home);
    frame_.Invalidate(false);
}

void LinksmithEditor::OnSetInitialViewDefault() {
    if (!viewer_)
        return;
    state_.modified = true;
    EditorInitialView& view = state_.initialView;
    view.pan = view.tilt = view.roll = view.fieldOfView = 0;
    viewer_->SetOption(ViewerOption::kHomeView, nullptr);
    viewer_->SendKey(platform::VK_SPACE, 1, 0);
    frame_.Invalidate(false);
}

void LinksmithEditor::OnDefineDimensions() {
    if (!viewer_)
        return;
    int horizontal = state_.initialView.horizontalDegrees;
    int vertical = state_.initialView.verticalDegrees;
    if (!frame_.EditDimensions(horizontal, vertical))
        return;
    state_.modified = true;
    frame_.Invalidate(false);
    state_.initialView.horizontalDegrees = horizontal;
    state_.initialView.verticalDegrees = vertical;
}

void LinksmithEditor::OnEmbeddedFiles() {
    if (!viewer_)
        return;
    const std::string& directory = viewer_->TempExtractDirectory();
    EmbeddedFileList files(frame_.Handle());
    files.AddExtractedFiles(directory);
    if (!frame_.EditEmbeddedFiles(files))
        return;
    const ExtractFolderSync result = SynchroniseExtractedFiles(directory, files.Rows());
    if (result.changed)
        state_.modified = true;
    if (!result.notCopied.empty())
        ShowError(kFileIoErrorText);
    frame_.Invalidate(false);
}

void LinksmithEditor::OnPanoramaDetails() {
    if (!viewer_)
        return;
    PanoramaNote note;
    if (const std::optional<PanoramaNote> stored = ParsePanoramaNote(state_.noteData))
        note = *stored;
    if (!frame_.EditPanoramaDetails(note)) {
        frame_.Invalidate(false);
        return;
    }
    state_.modified = true;
    state_.keepFileNote = false;
    state_.noteData.clear();
    if (!note.IsEmpty())
        state_.noteData = BuildPanoramaNote(note);
    frame_.Invalidate(false);
}
