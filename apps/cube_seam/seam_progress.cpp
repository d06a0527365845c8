#include "apps/cube_seam/seam_progress.h"

#include <QApplication>

#include "apps/cube_seam/seam_progress_dialog.h"
#include "platform/qt/qt_backend.h"

void SilentSeamProgress::Begin(const std::string&, bool) {
    *state_.Lock() = State{};
}

void SilentSeamProgress::PostPosition(int position) {
    state_.Lock()->position = position;
    changed_.notify_all();
}

void SilentSeamProgress::PostFinished() {
    state_.Lock()->finished = true;
    changed_.notify_all();
}

bool SilentSeamProgress::Run() {
    return WaitFor([](int) { return false; });
}

int SilentSeamProgress::Position() const {
    return state_.Lock()->position;
}

std::unique_ptr<SeamProgress> MakeSeamProgress() {
    if (platform::QtBackend::Installed() != nullptr &&
        qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        return std::make_unique<SeamProgressDialog>();
    return std::make_unique<SilentSeamProgress>();
}
