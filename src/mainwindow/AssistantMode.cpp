#include "mainwindow/AssistantMode.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace korvalo {

namespace {

// Where an input event stands in the gesture a trigger waits for.
enum class Step { None, Part, End };

Step stepOf(const QEvent* event, AssistantMode::Trigger trigger, const QObject* receiver) {
    using T = AssistantMode::Trigger;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const bool left = mouse->button() == Qt::LeftButton ||
                          (type == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton));
        if (!left)
            return Step::None;
        if (trigger == T::DoubleClick)
            return type == QEvent::MouseButtonDblClick ? Step::End : Step::None;
        if (type != QEvent::MouseButtonRelease)
            return type == QEvent::MouseMove && trigger == T::Click ? Step::None : Step::Part;
        // A click counts only when the button comes up over the control.
        const auto* widget = qobject_cast<const QWidget*>(receiver);
        const bool inside = widget && widget->rect().contains(mouse->position().toPoint());
        return trigger == T::Change || inside ? Step::End : Step::Part;
    }
    if (type == QEvent::Wheel)
        return trigger == T::Change ? Step::End : Step::None;
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (trigger == T::Click && key->key() == Qt::Key_Space)
            return type == QEvent::KeyRelease && !key->isAutoRepeat() ? Step::End : Step::Part;
        if (trigger == T::Change && type == QEvent::KeyPress) {
            switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
                return Step::End;
            default:
                break;
            }
        }
    }
    return Step::None;
}

} // namespace

AssistantMode::AssistantMode(QWidget* window)
    : QObject(window)
    , window_(window) {}

void AssistantMode::add(const QString& control, Trigger trigger, Order order,
                        std::function<void()> explain) {
    table_[{control, trigger}] = Entry{order, std::move(explain)};
    for (QWidget* w : window_->findChildren<QWidget*>(control))
        if (w->window() == window_)
            watch(w);
}

void AssistantMode::watch(QWidget* control) {
    if (watched_.contains(control))
        return;
    // A list takes its clicks on its viewport, its keys on itself.
    watched_.insert(control, control->objectName());
    control->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        watched_.insert(area->viewport(), control->objectName());
        area->viewport()->installEventFilter(this);
    }
}

bool AssistantMode::eventFilter(QObject* watched, QEvent* event) {
    if (!on_)
        return false;
    const auto name = watched_.constFind(watched);
    if (name == watched_.constEnd())
        return false;
    bool swallow = false;
    for (Trigger trigger : {Trigger::Click, Trigger::DoubleClick, Trigger::Change}) {
        const auto entry = table_.find({*name, trigger});
        if (entry == table_.end())
            continue;
        const Step step = stepOf(event, trigger, watched);
        if (step == Step::None)
            continue;
        const Entry& e = entry->second;
        if (e.order == Order::ExplainOnly)
            swallow = true;
        if (step != Step::End)
            continue;
        if (e.order == Order::ActThenExplain)
            QMetaObject::invokeMethod(this, e.explain, Qt::QueuedConnection);
        else
            e.explain();
    }
    return swallow;
}

} // namespace korvalo
