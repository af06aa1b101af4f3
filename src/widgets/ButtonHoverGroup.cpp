#include "widgets/ButtonHoverGroup.h"

#include "widgets/ButtonWithColor.h"
#include "widgets/PlatformColor.h"

#include <QEvent>
#include <QWidget>

namespace korvalo {

ButtonHoverGroup::ButtonHoverGroup(QObject* parent)
    : QObject(parent) {}

void ButtonHoverGroup::addButton(ButtonWithColor* button) {
    buttons_.push_back(button);
    connect(button, &ButtonWithColor::hovered, this, [this, button] { highlight(button); });
    connect(button, &QObject::destroyed, this, [this, button] { std::erase(buttons_, button); });
}

void ButtonHoverGroup::addResetArea(QWidget* area) {
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

void ButtonHoverGroup::highlight(ButtonWithColor* button) {
    for (ButtonWithColor* b : buttons_)
        b->setBackgroundColor(colorFromWord(b == button ? ButtonWithColor::kHoverColor
                                                        : ButtonWithColor::kRestingColor));
}

void ButtonHoverGroup::rest() {
    highlight(nullptr);
}

bool ButtonHoverGroup::eventFilter(QObject* watched, QEvent* event) {
    // Enter alone would miss a return from a button to the area beneath it:
    // the area was never left, so only its mouse moves tell.
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)
        rest();
    return QObject::eventFilter(watched, event);
}

} // namespace korvalo
