#pragma once

#include <QString>

class QDialog;
class QLabel;

namespace korvalo {

// Lays out one of the small borderless dialogs: its name, right-to-left
// text in the dialogs' face, a fixed size, and its picture stretched over
// the whole window as Image1, under every other control.
QLabel* setUpPictureCard(QDialog* dialog, const QString& objectName, int width, int height,
                         const QString& picture);

} // namespace korvalo
