#pragma once

#include <QObject>

#include <vector>

class QWidget;

namespace korvalo {

class ButtonWithColor;

// The hover reaction shared by the windows' coloured buttons: the button under
// the mouse takes the hover colour and the others of the group the resting
// colour; the mouse over one of the group's reset areas rests them all.
class ButtonHoverGroup : public QObject {
    Q_OBJECT
public:
    explicit ButtonHoverGroup(QObject* parent = nullptr);

    void addButton(ButtonWithColor* button);
    // Turns on mouse tracking for `area`, so a move over it is seen without
    // a pressed button.
    void addResetArea(QWidget* area);

    void highlight(ButtonWithColor* button);
    void rest();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<ButtonWithColor*> buttons_;
};

} // namespace korvalo
