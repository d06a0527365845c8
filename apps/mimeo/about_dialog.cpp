#include "apps/mimeo/about_dialog.h"

#include <QMessageBox>

void ShowMimeoAbout(QWidget* parent) {
    QMessageBox::about(parent, QStringLiteral("About Mimeo"),
                       QStringLiteral("Mimeo\nVersion 4.0\n\nThis work is based in part on the "
                                      "work of the Independent JPEG Group."));
}
