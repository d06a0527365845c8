#include "apps/mimeo/mimeo_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "apps/common/help_page.h"
#include "apps/mimeo/about_dialog.h"
#include "apps/mimeo/avatar_attributes.h"
#include "apps/mimeo/avatar_builder.h"
#include "apps/mimeo/frame_files.h"
#include "apps/mimeo/frame_grid.h"
#include "apps/mimeo/frame_image.h"
#include "apps/mimeo/frame_preview.h"
#include "apps/mimeo/image_reader.h"
#include "apps/mimeo/transparency.h"
#include "apps/mimeo/transparency_editor_dialog.h"
#include "engine/avatar_file/avatar_file.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/path_text.h"
#include "platform/qt/file_dialog_paths.h"
#include "platform/qt/qt_paths.h"

namespace {

constexpr char kCaption[] = "MIMEO";
constexpr char kNoFiles[] = "No file(s) loaded";
constexpr char kUntitled[] = "Untitled.avt";
constexpr char kNoMemory[] = "Insufficient System Memory";
constexpr int kInstructionsContext = 3;
const HelpPage kMimeoHelp{"mimeo", "CvnMimeo.html"};

std::string Format(const char* pattern, const std::string& value) {
    std::string text = pattern;
    const std::size_t at = text.find("%s");
    return at == std::string::npos ? text : text.replace(at, 2, value);
}

}  // namespace

CMimeoDlg::CMimeoDlg(MimeoServices services)
    : services_(std::move(services)),
      preview_(new CFramePreview),
      columnSlider_(new QSlider(Qt::Horizontal)),
      rowSlider_(new QSlider(Qt::Vertical)),
      reset_(new QPushButton(QStringLiteral("Reset"))),
      progress_(new QProgressBar),
      status_(new QStatusBar) {
    if (!services_.ask)
        services_.ask = [](const std::string& text, const std::string& caption,
                           std::uint32_t type) {
            return platform::MessageBox(platform::kNoWindow, text, caption, type);
        };
    if (!services_.help)
        services_.help = [](int context) { return OpenHelp(kMimeoHelp, context); };
    if (!services_.askGrid)
        services_.askGrid = [this](AvatarGrid grid) -> std::optional<AvatarGrid> {
            CAvatarGridDlg dialog(this, grid, services_.help);
            if (dialog.exec() != QDialog::Accepted)
                return std::nullopt;
            return dialog.Grid();
        };
    if (!services_.askOpenFiles)
        services_.askOpenFiles = [this](const std::string& folder) {
            QFileDialog dialog(this, QStringLiteral("Open"));
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setFileMode(QFileDialog::ExistingFiles);
            dialog.setNameFilter(
                QStringLiteral("All Files (*);;Avatars (*.avt *.AVT);;BitMaps (*.bmp *.BMP)"));
            return platform::RunOpenDialog(dialog, folder);
        };
    if (!services_.askSavePath)
        services_.askSavePath = [this]() -> std::optional<std::string> {
            // The dialog starts in the current folder, whose name need not be UTF-8.
            const std::string folder = platform::GetCurrentDirectory();
            QFileDialog dialog(this, QStringLiteral("Save As"));
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilters(
                {QStringLiteral("All Files (*)"), QStringLiteral("Avatars (*.avt *.AVT)")});
            dialog.selectNameFilter(QStringLiteral("Avatars (*.avt *.AVT)"));
            dialog.setDefaultSuffix(QStringLiteral("avt"));
            return platform::RunSaveDialog(dialog, folder, {}, kCaption);
        };
    if (!services_.editTransparency)
        services_.editTransparency = [this](PackedDib& image, int column, int row) {
            CTransparencyEditorDlg editor(this, image, column, row, [this] { DrawCurrentFrame(); });
            return editor.exec() == QDialog::Accepted;
        };

    setWindowTitle(QStringLiteral("Mimeo"));
    setAcceptDrops(true);
    auto* menuBar = new QMenuBar;
    auto addCommand = [this](QMenu* menu, const QString& text, int command) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        actions_[command] = action;
    };
    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("&Open"), kCmdOpen);
    addCommand(file, QStringLiteral("&Close"), kCmdClose);
    addCommand(file, QStringLiteral("&Save"), kCmdSave);
    addCommand(file, QStringLiteral("Save &As"), kCmdSaveAs);
    file->addSeparator();
    addCommand(file, QStringLiteral("E&xit"), kCmdExit);
    QMenu* view = menuBar->addMenu(QStringLiteral("&View"));
    addCommand(view, QStringLiteral("&Attributes"), kCmdAttributes);
    addCommand(view, QStringLiteral("&Transparency Editor"), kCmdTransparencyEditor);
    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("Mimeo &Instructions..."), kCmdInstructions);
    addCommand(help, QStringLiteral("&About Mimeo..."), kCmdAbout);

    auto button = [this](const QString& text, auto handler) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    columnButtons_ = {button(QStringLiteral("<<"), [this] { OnPlayBackward(false); }),
                      button(QStringLiteral("Stop"), [this] { OnPlayStop(false); }),
                      button(QStringLiteral(">>"), [this] { OnPlayForward(false); })};
    rowButtons_ = {button(QStringLiteral(">>"), [this] { OnPlayForward(true); }),
                   button(QStringLiteral("Stop"), [this] { OnPlayStop(true); }),
                   button(QStringLiteral("<<"), [this] { OnPlayBackward(true); })};
    reset_->setAutoDefault(false);
    connect(reset_, &QPushButton::clicked, this, [this] { OnReset(); });
    connect(columnSlider_, &QSlider::valueChanged, this,
            [this](int value) { OnTrackBar(false, value); });
    connect(rowSlider_, &QSlider::valueChanged, this,
            [this](int value) { OnTrackBar(true, value); });
    connect(&columnTimer_, &QTimer::timeout, this, [this] { OnPlayTimer(false); });
    connect(&rowTimer_, &QTimer::timeout, this, [this] { OnPlayTimer(true); });

    auto* columnRow = new QHBoxLayout;
    for (QPushButton* b : columnButtons_)
        columnRow->addWidget(b);
    auto* rowColumn = new QVBoxLayout;
    for (QPushButton* b : rowButtons_)
        rowColumn->addWidget(b);
    rowColumn->addStretch();
    rowColumn->addWidget(reset_);
    auto* grid = new QGridLayout;
    grid->addWidget(preview_, 0, 0);
    grid->addWidget(rowSlider_, 0, 1);
    grid->addLayout(rowColumn, 0, 2);
    grid->addWidget(columnSlider_, 1, 0);
    grid->addLayout(columnRow, 2, 0);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(grid, 1);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    progress_->hide();
    status_->setSizeGripEnabled(false);
    status_->showMessage(QString::fromLatin1(kNoFiles));
    resize(420, 480);
    UpdateControls();
}

CMimeoDlg::~CMimeoDlg() = default;

int CMimeoDlg::Ask(const std::string& text, const std::string& caption, std::uint32_t type) const {
    return services_.ask(text, caption, type);
}

void CMimeoDlg::OnCommand(int command) {
    if (!IsCommandEnabled(command))
        return;
    switch (command) {
        case kCmdOpen:
            OnOpen();
            break;
        case kCmdClose:
            OnClose();
            break;
        case kCmdSave:
            OnSave();
            break;
        case kCmdSaveAs:
            OnSaveAs();
            break;
        case kCmdExit:
            close();
            break;
        case kCmdAttributes:
            OnAttributes();
            break;
        case kCmdTransparencyEditor:
            OnTransparencyEditor();
            break;
        case kCmdInstructions:
            OnHelp();
            break;
        case kCmdAbout:
            OnAbout();
            break;
        default:
            break;
    }
}

bool CMimeoDlg::IsCommandEnabled(int command) const {
    const bool hasImage = !image_.empty();
    switch (command) {
        case kCmdClose:
        case kCmdSaveAs:
        case kCmdAttributes:
            return hasImage;
        case kCmdSave:
            return hasImage && !documentName_.empty();
        case kCmdTransparencyEditor:
            return hasImage && HeaderOf(image_).biBitCount == 8;
        default:
            return true;
    }
}

bool CMimeoDlg::WriteTo(const std::string& path) {
    PackedDib saved = image_;
    KeepIndexZeroTransparent(saved);
    if (!WriteAvatarFile(path, saved)) {
        Ask("Unable to Save File: " + platform::PathForDisplay(path), kCaption,
            platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
    modified_ = false;
    return true;
}

bool CMimeoDlg::QueryClose() {
    if (!modified_)
        return true;
    const std::string name =
        documentName_.empty() ? kUntitled : platform::PathForDisplay(documentName_);
    switch (Ask(Format("Save changes to %s?", name), kCaption,
                platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION)) {
        case platform::IDCANCEL:
            return false;
        case platform::IDYES:
            return documentName_.empty() ? OnSaveAs() : WriteTo(documentName_);
        default:
            modified_ = false;
            return true;
    }
}

void CMimeoDlg::ResetImage() {
    columnTimer_.stop();
    rowTimer_.stop();
    columnAxis_.Stop();
    rowAxis_.Stop();
    column_ = row_ = 0;
    image_.clear();
    status_->showMessage(QString::fromLatin1(kNoFiles));
    UpdateControls();
}

bool CMimeoDlg::OnClose() {
    if (!QueryClose())
        return false;
    ResetImage();
    return true;
}

bool CMimeoDlg::OnSave() {
    if (image_.empty() || documentName_.empty())
        return false;
    return WriteTo(documentName_);
}

bool CMimeoDlg::OnSaveAs() {
    if (image_.empty())
        return false;
    const std::optional<std::string> path = services_.askSavePath();
    if (!path || !WriteTo(*path))
        return false;
    documentName_ = *path;
    status_->showMessage(platform::PathText(documentName_));
    UpdateControls();
    return true;
}

void CMimeoDlg::OnOpen() {
    std::vector<std::string> paths = services_.askOpenFiles(openFolder_);
    if (paths.empty())
        return;
    openFolder_ = FolderOf(paths.front());
    BuildAvatar(std::move(paths));
}

void CMimeoDlg::SetProgress(int step, const char* status) {
    progress_->setValue(step);
    status_->showMessage(QString::fromLatin1(status));
    status_->repaint();
}

void CMimeoDlg::EndBuild(const std::string& message) {
    if (!message.empty())
        Ask(message, "", platform::MB_OK);
    image_.clear();
    documentName_.clear();
    if (QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
    progress_->setValue(0);
    progress_->hide();
    status_->showMessage(QString::fromLatin1(kNoFiles));
    UpdateControls();
}

void CMimeoDlg::BuildAvatar(std::vector<std::string> paths) {
    if (paths.empty() || !OnClose())
        return;
    if (paths.size() > kMaxFrames) {
        Ask("Too Many Files Opened.\nAn Avatar Holds at Most " + std::to_string(kMaxFrames) +
                " Frames.\nYou have Opened " + std::to_string(paths.size()) + " File(s).",
            kCaption, platform::MB_OK);
        return;
    }
    SortFrameFiles(paths);
    const int count = static_cast<int>(paths.size());
    const bool avatarFile = count == 1 && IsAvatarFileName(paths.front());
    AvatarGrid grid{1, count, false};
    if (!avatarFile) {
        for (;;) {
            if (grid.columns * grid.rows != count) {
                Ask("Columns X Rows Must Equal the Number of Files Opened.\nYou have Opened " +
                        std::to_string(count) + " File(s).",
                    kCaption, platform::MB_OK);
                grid = {1, count, grid.disableTransparency};
            }
            const std::optional<AvatarGrid> answer = services_.askGrid(grid);
            if (!answer)
                return;
            grid = *answer;
            if (grid.columns >= 1 && grid.rows >= 1 && grid.columns * grid.rows == count)
                break;
        }
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    progress_->setRange(0, 4);
    progress_->show();
    SetProgress(1, "Reading Files...");
    std::vector<PackedDib> frames;
    for (const std::string& path : paths) {
        ImageRead read =
            avatarFile ? ReadImageFile(path, {32, 24, 8}) : ReadImageFile(path, {32, 24});
        if (!read.error.empty())
            return EndBuild(read.error);
        frames.push_back(std::move(read.image));
    }

    if (!avatarFile) {
        documentName_.clear();
        SetProgress(2, "Building Object Image...");
        std::optional<PackedDib> tiled = TileFrames(frames, grid.columns, grid.rows);
        frames.clear();
        if (!tiled)
            return EndBuild(kNoMemory);
        image_ = std::move(*tiled);
        modified_ = true;
    } else {
        documentName_ = paths.front();
        image_ = std::move(frames.front());
        const platform::BitmapInfoHeader header = HeaderOf(image_);
        if (header.biBitCount != 8 ||
            !GridFits(image_, header.biXPelsPerMeter, header.biYPelsPerMeter)) {
            grid = {std::max(header.biXPelsPerMeter, 1), std::max(header.biYPelsPerMeter, 1),
                    false};
            QApplication::restoreOverrideCursor();
            do {
                if (grid.columns > header.biWidth || grid.rows > header.biHeight) {
                    Ask("Columns X Rows Must Fit the Picture.\nThe Picture is " +
                            std::to_string(header.biWidth) + " X " +
                            std::to_string(header.biHeight) + " Pixels.",
                        kCaption, platform::MB_OK);
                }
                const std::optional<AvatarGrid> answer = services_.askGrid(grid);
                if (!answer) {
                    QApplication::setOverrideCursor(Qt::WaitCursor);
                    return EndBuild({});
                }
                grid = *answer;
            } while (!GridFits(image_, grid.columns, grid.rows));
            QApplication::setOverrideCursor(Qt::WaitCursor);
            platform::BitmapInfoHeader gridded = header;
            gridded.biXPelsPerMeter = grid.columns;
            gridded.biYPelsPerMeter = grid.rows;
            SetHeader(image_, gridded);
            modified_ = true;
        }
    }

    SetProgress(3, "Decreasing Image Color Depth...");
    std::optional<PackedDib> reduced =
        ReduceAvatarColours(std::move(image_), grid.disableTransparency, !avatarFile);
    if (!reduced) {
        modified_ = false;
        return EndBuild(kNoMemory);
    }
    SetProgress(4, "Blue Screening Image...");
    image_ = std::move(*reduced);

    status_->showMessage(documentName_.empty() ? QString::fromLatin1(kUntitled)
                                               : platform::PathText(documentName_));
    progress_->setValue(0);
    progress_->hide();
    QApplication::restoreOverrideCursor();
    UpdateControls();
}

int CMimeoDlg::CountOf(bool rows) const {
    if (image_.empty())
        return 0;
    const platform::BitmapInfoHeader header = HeaderOf(image_);
    return rows ? header.biYPelsPerMeter : header.biXPelsPerMeter;
}

void CMimeoDlg::UpdateControls() {
    const int columns = CountOf(false);
    const int rows = CountOf(true);
    for (QPushButton* b : columnButtons_)
        b->setEnabled(columns > 1);
    for (QPushButton* b : rowButtons_)
        b->setEnabled(rows > 1);
    columnSlider_->setEnabled(columns > 1);
    rowSlider_->setEnabled(rows > 1);
    reset_->setEnabled(columns > 1 || rows > 1);
    {
        const QSignalBlocker blockColumns(columnSlider_);
        const QSignalBlocker blockRows(rowSlider_);
        columnSlider_->setRange(0, std::max(columns - 1, 0));
        rowSlider_->setRange(0, std::max(rows - 1, 0));
    }
    for (const auto& [command, action] : actions_)
        action->setEnabled(IsCommandEnabled(command));
    DrawCurrentFrame();
}

QImage CMimeoDlg::ShownFrame() const {
    if (image_.empty())
        return {};
    return FrameImage(image_, column_, row_, preview_->TransparentColour());
}

void CMimeoDlg::DrawCurrentFrame() {
    preview_->SetFrame(ShownFrame());
    const QSignalBlocker blockColumns(columnSlider_);
    const QSignalBlocker blockRows(rowSlider_);
    columnSlider_->setValue(column_);
    rowSlider_->setValue(row_);
}

bool CMimeoDlg::IsTimerRunning(bool rows) const {
    return rows ? rowTimer_.isActive() : columnTimer_.isActive();
}

QString CMimeoDlg::StatusText() const {
    return status_->currentMessage();
}

void CMimeoDlg::Play(bool rows, bool forwards) {
    if (CountOf(rows) < 2)
        return;
    PlayAxis& axis = AxisOf(rows);
    if (forwards)
        axis.Forward();
    else
        axis.Backward();
    QTimer& timer = rows ? rowTimer_ : columnTimer_;
    timer.stop();
    if (axis.PeriodMs() > 0)
        timer.start(axis.PeriodMs());
    int& index = rows ? row_ : column_;
    index = StepFrame(index, axis.direction, CountOf(rows));
    DrawCurrentFrame();
}

void CMimeoDlg::OnPlayForward(bool rows) {
    Play(rows, true);
}

void CMimeoDlg::OnPlayBackward(bool rows) {
    Play(rows, false);
}

void CMimeoDlg::OnPlayStop(bool rows) {
    (rows ? rowTimer_ : columnTimer_).stop();
    AxisOf(rows).Stop();
}

void CMimeoDlg::OnPlayTimer(bool rows) {
    if (CountOf(rows) < 1)
        return;
    int& index = rows ? row_ : column_;
    index = StepFrame(index, AxisOf(rows).direction, CountOf(rows));
    DrawCurrentFrame();
}

void CMimeoDlg::OnTrackBar(bool rows, int position) {
    if (position < 0 || position >= CountOf(rows))
        return;
    (rows ? row_ : column_) = position;
    DrawCurrentFrame();
}

void CMimeoDlg::OnReset() {
    OnPlayStop(false);
    OnPlayStop(true);
    column_ = row_ = 0;
    DrawCurrentFrame();
}

void CMimeoDlg::OnAttributes() {
    if (image_.empty())
        return;
    Ask(AttributesText(documentName_, image_), "Avatar attributes",
        platform::MB_OK | platform::MB_ICONINFORMATION);
}

void CMimeoDlg::OnTransparencyEditor() {
    if (image_.empty() || HeaderOf(image_).biBitCount != 8)
        return;
    const PackedDib before = image_;
    if (services_.editTransparency(image_, column_, row_))
        modified_ = true;
    else
        image_ = before;
    DrawCurrentFrame();
}

void CMimeoDlg::OnHelp() {
    if (!services_.help(kInstructionsContext))
        Ask("Unable to open help file", kCaption, platform::MB_OK);
}

void CMimeoDlg::OnAbout() {
    ShowMimeoAbout(this);
}

void CMimeoDlg::closeEvent(QCloseEvent* event) {
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    ResetImage();
    event->accept();
    done(QDialog::Accepted);
}

void CMimeoDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMimeoDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMimeoDlg::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = platform::DroppedLocalPaths(event->mimeData());
    event->acceptProposedAction();
    BuildAvatar(std::move(paths));
}
