#pragma once
// The modal "Seaming Image" dialog: a line of text, a progress bar from 0 to 100 and Cancel.
// Made, run and destroyed on the user-interface thread; the worker's posts arrive as queued
// calls, so the worker never touches a widget.

#include <QDialog>

#include <atomic>

#include "apps/cube_seam/seam_progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

class SeamProgressDialog : public QDialog, public SeamProgress {
  public:
    explicit SeamProgressDialog(QWidget* parent = nullptr);

    void Begin(const std::string& text, bool cancellable) override;
    void PostPosition(int position) override;
    void PostFinished() override;
    bool Run() override;

    int Position() const;
    QPushButton* CancelButton() const { return cancel_; }

    // Escape and the close box cancel as the button does, and not when it is disabled.
    void reject() override;

  private:
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool finished_ = false;  // user-interface thread
    // Which seam the worker's posts belong to: a post from an earlier, cancelled seam that is
    // still queued when the next one begins is dropped.
    std::atomic<int> seam_{0};
};
