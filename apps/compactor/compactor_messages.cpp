#include "apps/compactor/compactor_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <iostream>
#include <string>

void ShowCompactorMessage(std::string_view text) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Compactor"),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                        QMessageBox::Ok);
        box.exec();
        return;
    }
    std::cerr << "Compactor: " << text << std::endl;
}
