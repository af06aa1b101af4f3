#include "desktop/PictureCard.h"

#include "images/ArtworkResources.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>

namespace korvalo {

namespace {
// Stands in for the dialogs' design face: installed with the program and
// drawing Arabic and Latin alike.
const char* const kTextFamily = "DejaVu Sans";
constexpr int kTextPixelSize = 12;
} // namespace

QLabel* setUpPictureCard(QDialog* dialog, const QString& objectName, int width, int height,
                         const QString& picture)
{
    registerArtworkResources();
    dialog->setObjectName(objectName);
    dialog->setLayoutDirection(Qt::RightToLeft);
    dialog->setFixedSize(width, height);
    QFont face(QString::fromLatin1(kTextFamily));
    face.setPixelSize(kTextPixelSize);
    dialog->setFont(face);

    auto* image = new QLabel(dialog);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(0, 0, width, height);
    image->setScaledContents(true);
    image->setPixmap(QPixmap(picture));
    return image;
}

} // namespace korvalo
