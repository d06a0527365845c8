#include "platform/qt/qt_backend.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include "platform/message_box.h"
#include "platform/messages.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/window_host.h"
#include "platform/stored_text.h"

namespace platform {
namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
  public:
    explicit MessageEvent(const Message& message) : QEvent(kMessageEvent), message_(message) {}
    const Message& Payload() const { return message_; }

  private:
    Message message_;
};

Qt::CursorShape QtCursorShape(CursorShape shape) {
    switch (shape) {
        case CursorShape::Arrow:
            return Qt::ArrowCursor;
        case CursorShape::SizeAll:
            return Qt::SizeAllCursor;
        case CursorShape::UpArrow:
            return Qt::UpArrowCursor;
        case CursorShape::Wait:
            return Qt::WaitCursor;
        case CursorShape::Cross:
            return Qt::CrossCursor;
        case CursorShape::IBeam:
            return Qt::IBeamCursor;
        case CursorShape::Hand:
            return Qt::PointingHandCursor;
        case CursorShape::No:
            return Qt::ForbiddenCursor;
    }
    return Qt::ArrowCursor;
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonAnswer> ButtonsOf(std::uint32_t type) {
    switch (type & 0xF) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{QMessageBox::Abort, IDABORT},
                    {QMessageBox::Retry, IDRETRY},
                    {QMessageBox::Ignore, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES},
                    {QMessageBox::No, IDNO},
                    {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL:
            return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(std::uint32_t type) {
    switch (type & 0xF0) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONWARNING:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// A modal box over `parent` (none: over no window); the answer of the button pressed. The text
// may carry a text a panorama stores (an action's target): it reads as stored texts do.
int ShowMessageBox(QWidget* parent, std::string_view text, std::string_view caption,
                   std::uint32_t type) {
    const std::string shown = StoredTextToUtf8(text);
    QMessageBox box(IconOf(type), QString::fromUtf8(caption.data(), qsizetype(caption.size())),
                    QString::fromUtf8(shown.data(), qsizetype(shown.size())), QMessageBox::NoButton,
                    parent);
    const std::vector<ButtonAnswer> buttons = ButtonsOf(type);
    for (const ButtonAnswer& entry : buttons)
        box.addButton(entry.button);
    const auto defaultIndex = static_cast<std::size_t>((type >> 8) & 0xF);
    if (defaultIndex < buttons.size())
        box.setDefaultButton(buttons[defaultIndex].button);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonAnswer& entry : buttons) {
        if (entry.button == clicked)
            return entry.answer;
    }
    return DefaultMessageBoxAnswer(type);
}

// Holds user input back from every widget while it exists: key presses are noted as
// virtual-key codes, other input is dropped, so no handler runs for it.
class InputHold : public QObject {
  public:
    InputHold() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    std::vector<int> keys;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                const int key = VirtualKeyFromQt(static_cast<QKeyEvent*>(event)->key());
                if (key != 0)
                    keys.push_back(key);
                return true;
            }
            case QEvent::ShortcutOverride:
                // Accepted: the key is not taken as a shortcut and arrives as a KeyPress.
                event->accept();
                return true;
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Close:
            case QEvent::Drop:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

// Lives on the user-interface thread and receives the queued messages and repaint requests.
class QtBackend::Dispatcher : public QObject {
  public:
    explicit Dispatcher(QtBackend& backend) : backend_(backend) {}

    bool event(QEvent* event) override {
        if (event->type() != kMessageEvent)
            return QObject::event(event);
        DispatchMessage(static_cast<MessageEvent*>(event)->Payload());
        return true;
    }

    void ShowFrame(WindowHandle window) {
        if (!backend_.TakePendingFrame(window))
            return;  // shown already, by a wait for frames
        if (QtWindowHost* host = backend_.Host(window))
            host->ShowNewFrame();
    }

  private:
    QtBackend& backend_;
};

QtBackend::QtBackend() : dispatcher_(new Dispatcher(*this)) {}

QtBackend::~QtBackend() {
    if (InstalledBackend() == this)
        InstallBackend(nullptr);
    if (&GetClipboard() == &clipboard_)
        SetClipboard(nullptr);
    delete dispatcher_;
}

void QtBackend::Install() {
    InstallBackend(this);
    SetClipboard(&clipboard_);
}

QtBackend* QtBackend::Installed() {
    return dynamic_cast<QtBackend*>(InstalledBackend());
}

void QtBackend::RegisterHost(WindowHandle window, QtWindowHost* host) {
    hosts_[window] = host;
}

void QtBackend::UnregisterHost(WindowHandle window) {
    hosts_.erase(window);
}

QtWindowHost* QtBackend::Host(WindowHandle window) const {
    const auto found = hosts_.find(window);
    return found == hosts_.end() ? nullptr : found->second.data();
}

void QtBackend::Post(const Message& message) {
    QCoreApplication::postEvent(dispatcher_, new MessageEvent(message));
}

void QtBackend::FrameReady(WindowHandle window) {
    if (!pendingFrames_.Lock()->insert(window).second)
        return;  // a repaint is queued already and will show this newer picture
    QMetaObject::invokeMethod(
        dispatcher_, [dispatcher = dispatcher_, window] { dispatcher->ShowFrame(window); },
        Qt::QueuedConnection);
}

bool QtBackend::TakePendingFrame(WindowHandle window) {
    return pendingFrames_.Lock()->erase(window) != 0;
}

void QtBackend::ShowPendingFrames() {
    if (QThread::currentThread() != dispatcher_->thread())
        return;
    std::unordered_set<WindowHandle> windows;
    pendingFrames_.Lock()->swap(windows);
    for (WindowHandle window : windows) {
        if (QtWindowHost* host = Host(window))
            host->PaintNewFrameNow();
    }
}

std::vector<int> QtBackend::PumpModal() {
    if (QThread::currentThread() != dispatcher_->thread())
        return {};
    InputHold hold;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ShowPendingFrames();
    return std::move(hold.keys);
}

void QtBackend::PumpHoldingInput() {
    if (QThread::currentThread() != dispatcher_->thread())
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ShowPendingFrames();
}

void QtBackend::DropHeldInput() {
    if (QThread::currentThread() != dispatcher_->thread())
        return;
    InputHold hold;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

Size QtBackend::ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->size();
    return {size.width(), size.height()};
}

Point QtBackend::CursorPos() {
    const QPoint position = QCursor::pos();
    return {position.x(), position.y()};
}

void QtBackend::SetCursor(WindowHandle window, CursorHandle cursor) {
    QtWindowHost* host = Host(window);
    if (host && cursor)
        host->setCursor(QtCursorShape(cursor->shape));
}

void QtBackend::ClipCursor(const Rect*) {}

bool QtBackend::IsKeyHeld(int virtualKey) {
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    if (virtualKey == VK_CONTROL)
        return (modifiers & Qt::ControlModifier) != 0;
    if (virtualKey == VK_SHIFT)
        return (modifiers & Qt::ShiftModifier) != 0;
    return false;
}

int QtBackend::MessageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                          std::uint32_t type) {
    QtWindowHost* host = Host(owner);
    return ShowMessageBox(host ? host->window() : nullptr, text, caption, type);
}

int MessageBoxOver(QWidget* owner, std::string_view text, std::string_view caption,
                   std::uint32_t type) {
    if (!QtBackend::Installed() || IsBatchMode())
        return MessageBox(kNoWindow, text, caption, type);
    return ShowMessageBox(owner, text, caption, type);
}

QWidget* TopLevelWidgetOf(WindowHandle window) {
    const QtBackend* backend = QtBackend::Installed();
    QtWindowHost* host = backend != nullptr ? backend->Host(window) : nullptr;
    return host != nullptr ? host->window() : nullptr;
}

}  // namespace platform
