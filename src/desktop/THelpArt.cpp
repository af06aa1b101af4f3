#include "desktop/THelpArt.h"

#include "desktop/SpeechBubble.h"
#include "images/ArtworkResources.h"
#include "widgets/PlatformColor.h"
#include "widgets/RightToLeftLabel.h"

#include <QBitmap>
#include <QDateTime>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <random>

namespace korvalo {

namespace {

constexpr uint32_t kBubbleColor = 14286847; // a pale yellow
constexpr QPoint kArtAt{67, 201};
constexpr QSize kArtSize{81, 71};
constexpr QPoint kTailAt{88, 176};

// The Art picture each step of a sequence shows.
constexpr int kBlink[] = {6, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr int kPerformance[] = {1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6, 7, 1};
constexpr int kRest[] = {1, 1, 1, 1, 1, 1, 1, 1, 1};

// Naskh is narrow enough for the longest lines at the design size; the
// other face stands in where it is not installed.
const char* const kTextFamilies[] = {"Noto Naskh Arabic", "DejaVu Sans"};
constexpr int kTextPixelSize = 11;
constexpr int kSmallestPixelSize = 8;

QTimer* timer(QObject* parent, const char* name, int interval) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    return t;
}

} // namespace

THelpArt::THelpArt(QWidget* parent, HelpArtTimings timings)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    registerArtworkResources();
    setObjectName(QStringLiteral("HelpArt"));
    setFixedSize(kWidth, kHeight);
    setLayoutDirection(Qt::RightToLeft);
    // It explains what the user just clicked; the keyboard stays where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing it never ends the program, even with the main window in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont face;
    face.setFamilies(
        {QString::fromLatin1(kTextFamilies[0]), QString::fromLatin1(kTextFamilies[1])});
    face.setPixelSize(kTextPixelSize);
    setFont(face);
    const QColor bubble = colorFromWord(kBubbleColor);
    // The edges of the window are cut to its pieces; what shows between them
    // is the bubble's colour, so its rounded corners blend in.
    QPalette look = palette();
    look.setColor(QPalette::Window, bubble);
    look.setColor(QPalette::WindowText, Qt::black);
    setPalette(look);
    setAutoFillBackground(true);

    Shape1 = new SpeechBubble(bubble, this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(0, 8, 233, 169);

    L1 = line("L1", {72, 16, 145, 13});
    QFont bold = face;
    bold.setBold(true);
    L1->setFont(bold);
    L2 = line("L2", {13, 32, 204, 13});
    L2->setText(QString(68, QChar(0x0640))); // tatweel
    L3 = line("L3", {0, 48, 217, 13});
    L4 = line("L4", {0, 64, 217, 13});
    L5 = line("L5", {0, 80, 217, 13});
    L6 = line("L6", {0, 96, 216, 13});
    L7 = line("L7", {0, 112, 216, 13});
    L8 = line("L8", {0, 128, 216, 13});
    L9 = line("L9", {8, 147, 208, 13});

    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("X"));
    SpeedButton2->setGeometry(8, 12, 17, 17);
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setFont(bold);
    SpeedButton2->setCursor(Qt::PointingHandCursor);
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton2, &QToolButton::clicked, this, &QWidget::close);

    const QPixmap tail(QStringLiteral(":/artwork/assistant/tail.gif"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(kTailAt, tail.size()));
    Image1->setPixmap(tail);

    // The window's outline is the bubble, the tail and the picture showing.
    QImage base(size(), QImage::Format_ARGB32);
    base.fill(Qt::transparent);
    {
        QPainter p(&base);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(Shape1->geometry()), SpeechBubble::kRadius, SpeechBubble::kRadius);
        p.drawPixmap(kTailAt, tail);
    }
    for (size_t i = 0; i < Art.size(); ++i) {
        const QString name = QStringLiteral("Art%1").arg(i + 1);
        const QPixmap picture(QStringLiteral(":/artwork/assistant/") + name +
                              QStringLiteral(".gif"));
        Art[i] = new QLabel(this);
        Art[i]->setObjectName(name);
        Art[i]->setGeometry(QRect(kArtAt, kArtSize));
        Art[i]->setPixmap(picture);
        Art[i]->setVisible(i == 0);
        QImage outline = base;
        QPainter(&outline).drawPixmap(kArtAt, picture);
        outlines_[i] = QRegion(QBitmap::fromImage(outline.createAlphaMask()));
    }
    setMask(outlines_[0]);

    Mov1 = timer(this, "Mov1", timings.stepMs);
    Mov2 = timer(this, "Mov2", timings.stepMs);
    Mov3 = timer(this, "Mov3", timings.stepMs);
    MovAll = timer(this, "MovAll", timings.choiceMs);
    connect(Mov1, &QTimer::timeout, this, &THelpArt::Mov1Timer);
    connect(Mov2, &QTimer::timeout, this, &THelpArt::Mov2Timer);
    connect(Mov3, &QTimer::timeout, this, &THelpArt::Mov3Timer);
    connect(MovAll, &QTimer::timeout, this, &THelpArt::MovAllTimer);
}

QLabel* THelpArt::line(const char* name, QRect geometry) {
    auto* label = new RightToLeftLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    // Absolute: a right-to-left label would otherwise mirror it to the left.
    label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

void THelpArt::setText(const QString& title, const QStringList& lines) {
    L1->setText(title);
    QLabel* const labels[kLines] = {L3, L4, L5, L6, L7, L8, L9};
    // One size for all the lines, the largest at which the widest fits.
    QFont face = font();
    for (int pixels = kTextPixelSize; pixels >= kSmallestPixelSize; --pixels) {
        face.setPixelSize(pixels);
        const QFontMetrics metrics(face);
        bool fits = true;
        for (int i = 0; i < kLines && i < lines.size(); ++i)
            fits = fits && metrics.horizontalAdvance(lines.at(i)) <= labels[i]->width();
        if (fits)
            break;
    }
    for (int i = 0; i < kLines; ++i) {
        labels[i]->setFont(face);
        labels[i]->setText(i < lines.size() ? lines.at(i) : QString());
    }
}

void THelpArt::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The whole screen's corner, not the work area's: it may sit over a panel.
    QRect screen(QPoint(0, 0), screenSize_.value_or(QSize()));
    if (!screenSize_) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary ? primary->geometry() : QRect(0, 0, 1024, 768);
    }
    move(screen.x() + screen.width() - width(), screen.y() + screen.height() - height());
    // Joins whatever sequence is playing: both then advance the one counter.
    Mov2->start();
}

void THelpArt::showArt(int number) {
    if (number == shownArt_)
        return;
    Art[size_t(shownArt_ - 1)]->hide();
    Art[size_t(number - 1)]->show();
    setMask(outlines_[size_t(number - 1)]);
    shownArt_ = number;
}

void THelpArt::runSequence(QTimer* sequence, std::span<const int> pictures) {
    if (step_ >= int(pictures.size()))
        return;
    if (step_ == 0)
        MovAll->stop();
    showArt(pictures[size_t(step_)]);
    if (step_ + 1 < int(pictures.size())) {
        ++step_;
        return;
    }
    sequence->stop();
    MovAll->start();
    step_ = 0;
}

void THelpArt::Mov1Timer() {
    runSequence(Mov1, kPerformance);
}

void THelpArt::Mov2Timer() {
    runSequence(Mov2, kBlink);
}

void THelpArt::Mov3Timer() {
    runSequence(Mov3, kRest);
}

int THelpArt::choiceAt(qint64 seconds) {
    // Seeded with the second itself, so draws within one second agree.
    std::mt19937 generator(static_cast<std::mt19937::result_type>(seconds));
    return static_cast<int>(generator() % 4);
}

void THelpArt::MovAllTimer() {
    const int choice = choiceAt(QDateTime::currentSecsSinceEpoch());
    QTimer* chosen = choice == 0 ? Mov2 : choice == 1 ? Mov1 : Mov3;
    for (QTimer* t : {Mov1, Mov2, Mov3}) {
        if (t != chosen)
            t->stop();
    }
    chosen->start();
}

} // namespace korvalo
