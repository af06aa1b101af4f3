#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <utility>

class QWidget;

namespace korvalo {

// The assistant mode: while it is on, the controls its table names are
// explained by the assistant when the user triggers them, after their
// action, before it, or instead of it. The decision is taken here, on the
// controls' own input events, so that no handler needs to know the mode.
// With the mode off, or for a control the table does not name, every event
// passes untouched.
class AssistantMode : public QObject {
    Q_OBJECT
public:
    enum class Order {
        ActThenExplain, // the action runs, then the explanation (queued behind it)
        ExplainThenAct,
        ExplainOnly, // the triggering input never reaches the control
    };
    enum class Trigger {
        Click,       // a left click (or Space) that ends on the control
        DoubleClick, // a left double click
        Change,      // a slider moved by mouse, wheel or keys
    };

    // Controls are found among window's own widgets by objectName, so a
    // dialog that reuses a name is never taken for a control of the window.
    explicit AssistantMode(QWidget* window);

    bool isOn() const { return on_; }
    void setOn(bool on) { on_ = on; }

    // One entry of the table. A control may have one entry per trigger.
    void add(const QString& control, Trigger trigger, Order order, std::function<void()> explain);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        Order order;
        std::function<void()> explain;
    };
    void watch(QWidget* control);

    QWidget* window_;
    bool on_ = false;
    std::map<std::pair<QString, Trigger>, Entry> table_;
    QHash<QObject*, QString> watched_; // what receives a control's events -> its name
};

} // namespace korvalo
