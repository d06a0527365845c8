#pragma once
// Mimeo's main dialog: opens frame pictures (several make one avatar, frame k the k-th in name
// order) or an avatar file, builds the avatar (grid, 256 colours, transparent blue screen),
// plays its frames across columns and rows, shows its attributes, opens the Transparency
// Editor and saves the avatar file. Esc does not close it; closing with unsaved changes asks
// "Save changes to %s?".
//
// User-interface thread only. What the dialog asks of the desktop (message boxes, file and
// grid dialogs, the Transparency Editor, the help page) goes through `MimeoServices`, which
// tests replace.

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "apps/mimeo/avatar_grid_dialog.h"
#include "apps/mimeo/play_axis.h"
#include "engine/avatar_file/packed_dib.h"

class QAction;
class QProgressBar;
class QPushButton;
class QSlider;
class QStatusBar;
class CFramePreview;

struct MimeoServices {
    // A message box: text, caption, MB_* type; returns the ID* answer.
    std::function<int(const std::string& text, const std::string& caption, std::uint32_t type)> ask;
    // The "Avatar Grid" dialog started at a grid; nothing when cancelled.
    std::function<std::optional<AvatarGrid>(AvatarGrid)> askGrid;
    // The Open dialog (several files may be chosen) starting in a folder; empty when cancelled.
    std::function<std::vector<std::string>(const std::string& folder)> askOpenFiles;
    // The Save As dialog; nothing when cancelled.
    std::function<std::optional<std::string>()> askSavePath;
    // The Transparency Editor on an 8-bit image showing frame (column, row); true for OK. It
    // changes the image's palette flags as the user works, also when cancelled.
    std::function<bool(PackedDib& image, int column, int row)> editTransparency;
    // Opens the help page at a context number; false when it cannot.
    std::function<bool(int context)> help;
};

// Menu command numbers.
enum MimeoCommand : int {
    kCmdOpen = 57601,
    kCmdClose = 57602,
    kCmdSave = 57603,
    kCmdSaveAs = 57604,
    kCmdExit = 40003,
    kCmdInstructions = 40006,
    kCmdAbout = 40007,
    kCmdAttributes = 40009,
    kCmdTransparencyEditor = 40010,
};

class CMimeoDlg final : public QDialog {
  public:
    // Services left empty are the desktop's own (Qt dialogs, the platform's message box, the
    // help page).
    explicit CMimeoDlg(MimeoServices services = {});
    ~CMimeoDlg() override;

    // Runs a menu command by its number; unknown numbers do nothing.
    void OnCommand(int command);
    // Whether the menu command is offered now.
    bool IsCommandEnabled(int command) const;

    // Builds an avatar from `paths`: one avatar file, or frame pictures. Asks about unsaved
    // changes first; a failure shows its message and leaves no image.
    void BuildAvatar(std::vector<std::string> paths);

    // The close prompt: true when the caller may go on (changes saved or dropped).
    bool QueryClose();
    // Close: the prompt, then no image. False when the prompt stopped it.
    bool OnClose();
    // Save to the document's name; false (still modified, the old file kept) when it fails.
    bool OnSave();
    // Save under a name the user chooses; false when cancelled or failed.
    bool OnSaveAs();

    // The play buttons and the track bars, for columns (`rows` false) or rows.
    void OnPlayForward(bool rows);
    void OnPlayBackward(bool rows);
    void OnPlayStop(bool rows);
    void OnPlayTimer(bool rows);
    void OnTrackBar(bool rows, int position);
    void OnReset();

    const PackedDib& Image() const { return image_; }
    const std::string& DocumentName() const { return documentName_; }
    bool IsModified() const { return modified_; }
    int Column() const { return column_; }
    int Row() const { return row_; }
    const PlayAxis& Axis(bool rows) const { return rows ? rowAxis_ : columnAxis_; }
    bool IsTimerRunning(bool rows) const;
    QString StatusText() const;
    // The frame the preview shows now (a null image without an avatar).
    QImage ShownFrame() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int Ask(const std::string& text, const std::string& caption, std::uint32_t type) const;
    bool WriteTo(const std::string& path);
    void ResetImage();
    void EndBuild(const std::string& message);
    void SetProgress(int step, const char* status);
    void UpdateControls();
    void DrawCurrentFrame();
    void OnOpen();
    void OnAttributes();
    void OnTransparencyEditor();
    void OnHelp();
    void OnAbout();
    PlayAxis& AxisOf(bool rows) { return rows ? rowAxis_ : columnAxis_; }
    int CountOf(bool rows) const;
    void Play(bool rows, bool forwards);

    MimeoServices services_;
    std::string documentName_;
    std::string openFolder_;
    PackedDib image_;
    int column_ = 0;
    int row_ = 0;
    PlayAxis columnAxis_;
    PlayAxis rowAxis_;
    bool modified_ = false;
    QTimer columnTimer_;
    QTimer rowTimer_;

    CFramePreview* preview_;
    QSlider* columnSlider_;
    QSlider* rowSlider_;
    std::vector<QPushButton*> columnButtons_;
    std::vector<QPushButton*> rowButtons_;
    QPushButton* reset_;
    QProgressBar* progress_;
    QStatusBar* status_;
    std::map<int, QAction*> actions_;
};
