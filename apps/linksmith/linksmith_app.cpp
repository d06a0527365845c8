#include "apps/linksmith/linksmith_app.h"

#include "apps/linksmith/linksmith_frame.h"
#include "platform/thread.h"

CLinksmithApp::CLinksmithApp() = default;

CLinksmithApp::~CLinksmithApp() = default;

bool CLinksmithApp::InitInstance(const std::vector<std::string>& arguments) {
    // The editor's own thread goes before the engine's render thread, which starts one level
    // below it; a system that refuses the raise leaves the thread as it is.
    platform::SetCurrentThreadPriority(platform::ThreadPriority::AboveNormal);
    frame_ = std::make_unique<CLinksmithFrame>();
    frame_->show();
    frame_->SizeClientArea();
    if (!arguments.empty()) {
        LinksmithEditor& editor = frame_->Editor();
        editor.OpenPanoramaForEditing(arguments.front());
        frame_->Invalidate(true);
        frame_->UpdateNow();
        editor.DrawHotspotRects();
    }
    frame_->UpdateCommandStates();
    return true;
}
