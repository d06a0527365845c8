#include "plugin/scenegrab/plugin_message_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "plugin/scenegrab/plugin_ui.h"

namespace scenegrab {

namespace {

constexpr int kMaxTextLength = 256;

}  // namespace

CPluginMessageDlg::CPluginMessageDlg(const std::string& text, int helpContext, QWidget* parent)
    : QDialog(parent),
      text_(QString::fromStdString(text).left(kMaxTextLength)),
      helpContext_(helpContext) {
    setWindowTitle(QString::fromLatin1(kPluginCaption));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text_, this);
    label->setObjectName(QStringLiteral("static1011"));
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("button1010"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { OnHelp(); });
    layout->addWidget(buttons);
}

void CPluginMessageDlg::OnHelp() {
    OpenPluginHelp(helpContext_);
}

}  // namespace scenegrab
