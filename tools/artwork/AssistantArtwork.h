#pragma once

#include <QImage>
#include <QSize>

namespace korvalo::art {

// The assistant: a small globe with eyes, arms and feet, standing under its
// speech bubble. Seven poses make its animations: resting, a blink, and a
// wave that ends in a contented blink and a little hop. Each picture is
// either opaque or fully transparent pixel by pixel, as a GIF keeps it, and
// its edges are the dark outline, so it sits on any desktop without a halo.
class AssistantArtwork {
public:
    static constexpr QSize kCharacterSize{81, 71};
    static constexpr int kPoses = 7;
    // The bubble's tail, pointing from the bubble down to the character.
    static constexpr QSize kTailSize{24, 25};

    // Pose 1 rests; 6 has the eyes shut; 2 to 5 raise and wave the arm; 7 hops.
    QImage character(int pose) const;
    QImage tail() const;
};

} // namespace korvalo::art
