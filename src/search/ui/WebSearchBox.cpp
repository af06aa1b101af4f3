#include "search/ui/WebSearchBox.h"

#include "mainwindow/PanelHost.h"
#include "online/TOnlineIP.h"
#include "search/WebSearch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace korvalo {

namespace {

// A small magnifier on a blue plate, the picture of the search button.
QPixmap searchPicture(QSize size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1b, 0x3a, 0x5c));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    p.setPen(QPen(Qt::white, 1.6));
    p.setBrush(Qt::NoBrush);
    const qreal cx = size.width() / 2.0 - 1.5, cy = size.height() / 2.0 - 2;
    p.drawEllipse(QPointF(cx, cy), 3.5, 3.5);
    p.drawLine(QPointF(cx + 2.6, cy + 2.6), QPointF(cx + 6, cy + 6.5));
    return pm;
}

} // namespace

WebSearchBox::WebSearchBox(PanelHost& host, QWidget* parent)
    : QWidget(parent)
    , host_(host) {
    setObjectName(QStringLiteral("WebSearchBox"));

    Edit11 = new QLineEdit(this);
    Edit11->setObjectName(QStringLiteral("Edit11"));
    Edit11->setGeometry(20, 0, 92, 25);
    Edit11->setLayoutDirection(Qt::RightToLeft);
    Edit11->setStyleSheet(QStringLiteral("background: white;"));

    Image4 = new QToolButton(this);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(0, 0, 17, 25);
    Image4->setAutoRaise(true);
    Image4->setIcon(searchPicture(Image4->size()));
    Image4->setIconSize(Image4->size());
    Image4->setCursor(Qt::PointingHandCursor);
    Image4->setToolTip(QString::fromUtf8("ابحث في الانترنت"));
    Image4->setFocusPolicy(Qt::NoFocus);
    connect(Image4, &QToolButton::clicked, this, &WebSearchBox::Image4Click);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(0, 27, 112, 20);
    ComboBox1->setEditable(false);
    ComboBox1->addItems(WebSearch::itemTexts());
    ComboBox1->setCurrentIndex(-1); // chosen when the window is first shown
}

void WebSearchBox::setOnlineWatcher(const TOnlineIP* watcher) {
    watcher_ = watcher;
}

void WebSearchBox::selectFirstEngine() {
    ComboBox1->setCurrentIndex(0);
}

void WebSearchBox::Image4Click() {
    SearchTheWeb();
}

void WebSearchBox::SearchTheWeb() {
    // The online test comes first, even before an empty query is noticed.
    if (!watcher_ || !watcher_->Online()) {
        host_.showMessageBox(offlineMessage(), false);
        return;
    }
    // Blanks only are a query like any other.
    const QString query = Edit11->text();
    if (query.isEmpty())
        return;
    const std::optional<QString> address =
        WebSearch::queryAddress(ComboBox1->currentIndex(), query);
    if (address)
        host_.openSite(*address);
}

QString WebSearchBox::offlineMessage() {
    return QString::fromUtf8("انت غير متصل بالانترنت....!");
}

} // namespace korvalo
