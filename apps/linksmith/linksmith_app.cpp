#include "apps/linksmith/linksmith_app.h"

#include "apps/linksmith/linksmith_frame.h"

CLinksmithApp::CLinksmithApp() = default;

CLinksmithApp::~CLinksmithApp() = default;

bool CLinksmithApp::InitInstance(const QStringList& arguments) {
    frame_ = std::make_unique<CLinksmithFrame>();
    frame_->show();
    frame_->SizeClientArea();
    if (!arguments.isEmpty()) {
        LinksmithEditor& editor = frame_->Editor();
        editor.OpenPanoramaForEditing(arguments.front().toStdString());
        frame_->Invalidate(true);
        frame_->UpdateNow();
        editor.DrawHotspotRects();
    }
    frame_->UpdateCommandStates();
    return true;
}
