#pragma once

#include <QLabel>

class QMovie;

namespace korvalo {

// One banner of the strip: a picture stretched to the control, its frames
// playing when it is animated, that reports clicks.
class BannerPicture : public QLabel {
    Q_OBJECT
public:
    BannerPicture(const QString& name, const QRect& geometry, QWidget* parent);

    // Shows the picture in file. False, keeping what was shown, when the
    // file does not decode as a picture.
    bool showFile(const QString& path);
    // What is shown; null before the first picture.
    QMovie* picture() const { return movie_; }

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QMovie* movie_ = nullptr;
};

} // namespace korvalo
