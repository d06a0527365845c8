#pragma once
// The hotspot editor over a headless window: a FrameWindow whose repaints are WM_PAINT messages
// (queued for Invalidate, sent at once for UpdateNow), and panoramas made as Compactor makes
// them.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/linksmith/frame_window.h"
#include "platform/headless/headless_backend.h"
#include "tests/engine/container/container_test_support.h"

class HeadlessFrame : public FrameWindow {
  public:
    explicit HeadlessFrame(platform::HeadlessBackend& backend, platform::Size client = {512, 256})
        : backend_(backend), window_(backend.CreateWindow(client)) {}

    platform::WindowHandle Handle() const override { return window_; }
    void Invalidate(bool) override { platform::PostMessage(window_, platform::WM_PAINT); }
    void UpdateNow() override { platform::SendMessage(window_, platform::WM_PAINT); }
    void UpdateCommandStates() override { ++commandUpdates; }
    // The define dialog: hands out the text it was shown and answers with `dialogAnswer`
    // (nullopt = Cancel).
    bool EditHotspotText(std::string& text) override {
        dialogTexts.push_back(text);
        if (!dialogAnswer)
            return false;
        text = *dialogAnswer;
        return true;
    }
    // The other dialogs: each answers OK after its script ran, Cancel without one.
    bool EditDimensions(int& horizontal, int& vertical) override {
        if (!dimensionsAnswer)
            return false;
        horizontal = dimensionsAnswer->first;
        vertical = dimensionsAnswer->second;
        return true;
    }
    bool EditEmbeddedFiles(EmbeddedFileList& files) override {
        shownEmbeddedRows = files.Rows();
        if (!embeddedFilesScript)
            return false;
        embeddedFilesScript(files);
        return true;
    }
    bool EditPanoramaDetails(PanoramaNote& note) override {
        shownNotes.push_back(note);
        if (!detailsAnswer)
            return false;
        note = *detailsAnswer;
        return true;
    }
    void ShowContextMenu(ContextPopup popup, platform::Point) override { popups.push_back(popup); }
    void ShowHelp(int context) override { helpContexts.push_back(context); }
    // A headless window of the client's size; the handles made are kept in `children`, and
    // how many pictures each painted before it went in `childPaints`.
    platform::WindowHandle CreateChildWindow() override {
        platform::Rect client;
        platform::GetClientRect(window_, &client);
        const platform::WindowHandle child =
            backend_.CreateWindow({client.Width(), client.Height()});
        children.push_back(child);
        return child;
    }
    void DestroyChildWindow(platform::WindowHandle child) override {
        childPaints.push_back(backend_.Painted(child).size());
        backend_.DestroyWindow(child);
    }

    int commandUpdates = 0;
    std::optional<std::string> dialogAnswer;
    std::vector<std::string> dialogTexts;
    std::optional<std::pair<int, int>> dimensionsAnswer;
    std::function<void(EmbeddedFileList&)> embeddedFilesScript;
    std::vector<EmbeddedFileRow> shownEmbeddedRows;
    std::optional<PanoramaNote> detailsAnswer;
    std::vector<PanoramaNote> shownNotes;
    std::vector<ContextPopup> popups;
    std::vector<int> helpContexts;
    std::vector<platform::WindowHandle> children;
    std::vector<std::size_t> childPaints;

  private:
    platform::HeadlessBackend& backend_;
    platform::WindowHandle window_;
};

// The file Compactor writes for a 256 x 128 picture: INIT of sixteen zeros, then the JPEG BTMP.
Bytes CompactorPanorama();
