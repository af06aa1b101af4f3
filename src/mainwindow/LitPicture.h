#pragma once

#include <QLabel>

namespace korvalo {

// The lit picture of a toolbar button: the part that is clicked.
class LitPicture : public QLabel {
    Q_OBJECT
public:
    LitPicture(const QString& name, const QRect& geometry, const QString& picture,
               const QString& hint, QWidget* parent);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace korvalo
