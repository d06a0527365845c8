#pragma once
// Mimeo's About box: the program's name, its version and the JPEG acknowledgement. User-
// interface thread only.

class QWidget;

void ShowMimeoAbout(QWidget* parent);
