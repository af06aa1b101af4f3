#pragma once

#include <QRegion>
#include <QSize>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>
#include <span>

class QLabel;
class QTimer;
class QToolButton;

namespace korvalo {

class SpeechBubble;

// How often the assistant's sequences step and the next one is chosen.
struct HelpArtTimings {
    int stepMs = 120;
    int choiceMs = 500;
};

// The assistant: a small animated character under a speech bubble, in the
// bottom-right corner of the screen, always on top. The main window writes
// explanations into the bubble; the character plays short picture sequences
// by itself, on one step counter shared by its three sequence timers, and
// goes on playing while hidden.
class THelpArt : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 233;
    static constexpr int kHeight = 272;
    static constexpr int kLines = 7; // L3 to L9

    explicit THelpArt(QWidget* parent = nullptr, HelpArtTimings timings = {});

    // The screen whose bottom-right corner the window takes when shown;
    // unset, the primary screen's.
    void setScreenSize(std::optional<QSize> size) { screenSize_ = size; }

    // The title into L1 and the lines into L3 to L9 in order; a label whose
    // line is missing or empty is emptied.
    void setText(const QString& title, const QStringList& lines);

    // The sequence MovAll starts at a time given in whole seconds: 0 the
    // blink, 1 the performance, 2 or 3 the rest. The same second always
    // gives the same choice.
    static int choiceAt(qint64 seconds);

    int step() const { return step_; }

    SpeechBubble* Shape1;
    QLabel* L1; // the title
    QLabel* L2; // the rule under it
    QLabel* L3;
    QLabel* L4;
    QLabel* L5;
    QLabel* L6;
    QLabel* L7;
    QLabel* L8;
    QLabel* L9;
    QToolButton* SpeedButton2;  // "X": hides the window
    QLabel* Image1;             // the bubble's tail
    std::array<QLabel*, 7> Art; // Art1 to Art7; Art1 rests
    QTimer* Mov1;               // the performance
    QTimer* Mov2;               // the blink
    QTimer* Mov3;               // the rest
    QTimer* MovAll;             // the choice of the next sequence

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Mov1Timer();
    void Mov2Timer();
    void Mov3Timer();
    void MovAllTimer();
    // One step of a sequence: `pictures` holds the Art number of each step.
    void runSequence(QTimer* timer, std::span<const int> pictures);
    void showArt(int number);
    QLabel* line(const char* name, QRect geometry);

    int step_ = 0;
    int shownArt_ = 1;
    std::optional<QSize> screenSize_;
    // The window's outline with each picture of the character.
    std::array<QRegion, 7> outlines_;
};

} // namespace korvalo
