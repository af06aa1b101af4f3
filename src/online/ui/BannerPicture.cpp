#include "online/ui/BannerPicture.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QMovie>

namespace korvalo {

namespace {

// Whether the file holds a picture whose first frame decodes, whatever its
// name says.
bool decodes(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return !reader.read().isNull();
}

} // namespace

BannerPicture::BannerPicture(const QString& name, const QRect& geometry, QWidget* parent)
    : QLabel(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setScaledContents(true);
}

bool BannerPicture::showFile(const QString& path) {
    if (!decodes(path))
        return false;
    auto* movie = new QMovie(path, QByteArray(), this);
    movie->setScaledSize(size());
    setMovie(movie);
    movie->start();
    delete movie_;
    movie_ = movie;
    return true;
}

void BannerPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace korvalo
