#include "apps/linksmith/define_dimensions_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <charconv>

#include "apps/linksmith/linksmith_editor.h"
#include "platform/message_box.h"
#include "platform/qt/qt_backend.h"

DegreesEntry ParseDegrees(std::string_view text, int maxDegrees) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return {std::nullopt, "Please enter an integer."};
    if (value < 1 || value > maxDegrees) {
        return {std::nullopt,
                "Please enter an integer between 1 and " + std::to_string(maxDegrees) + "."};
    }
    return {value, {}};
}

CDefineDimensionsDlg::CDefineDimensionsDlg(QWidget* parent, int horizontal, int vertical)
    : QDialog(parent),
      horizontalEdit_(new QLineEdit(QString::number(horizontal), this)),
      verticalEdit_(new QLineEdit(QString::number(vertical), this)),
      horizontal_(horizontal),
      vertical_(vertical) {
    setWindowTitle(QStringLiteral("Define dimensions"));
    auto* group = new QGroupBox(QStringLiteral("Image Dimesions in degrees"), this);
    auto* fields = new QFormLayout(group);
    fields->addRow(QStringLiteral("Horizontal Degrees"), horizontalEdit_);
    fields->addRow(QStringLiteral("Vertical Degrees"), verticalEdit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDefineDimensionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDefineDimensionsDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

bool CDefineDimensionsDlg::TakeValues() {
    const struct {
        QLineEdit* edit;
        int maxDegrees;
        int& value;
    } fields[] = {{horizontalEdit_, kMaxHorizontalDegrees, horizontal_},
                  {verticalEdit_, kMaxVerticalDegrees, vertical_}};
    for (const auto& field : fields) {
        const DegreesEntry entry = ParseDegrees(field.edit->text().toStdString(), field.maxDegrees);
        if (!entry.value) {
            platform::MessageBoxOver(this, entry.complaint, kLinksmithCaption, platform::MB_OK);
            field.edit->setFocus(Qt::OtherFocusReason);
            field.edit->selectAll();
            return false;
        }
    }
    for (const auto& field : fields)
        field.value = *ParseDegrees(field.edit->text().toStdString(), field.maxDegrees).value;
    return true;
}

void CDefineDimensionsDlg::accept() {
    if (TakeValues())
        QDialog::accept();
}
