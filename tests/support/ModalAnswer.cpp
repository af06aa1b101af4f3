#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

namespace korvalo::test {

namespace {

struct PendingAnswer {
    QString button;
    std::function<void(QDialog*)> inspect;
    int timeoutMs;
    QDeadlineTimer deadline; // runs from the moment the answer's turn comes
};

std::deque<PendingAnswer>& queue() {
    static std::deque<PendingAnswer> answers;
    return answers;
}

QString withoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

QAbstractButton* findButton(QDialog* dialog, const QString& name) {
    if (auto* byName = dialog->findChild<QAbstractButton*>(name))
        return byName;
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        if (withoutMnemonic(b->text()) == name)
            return b;
    }
    return nullptr;
}

QString describeButtons(QDialog* dialog) {
    QStringList names;
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        names << QStringLiteral("%1 \"%2\"%3")
                     .arg(b->objectName(), b->text(),
                          b->isVisible() ? QString() : QStringLiteral(" (hidden)"));
    }
    return names.join(QStringLiteral(", "));
}

// The dialog answered last, until it hides: its answer may still be on its
// way, and it must not take the next answer meant for a later modal.
class AnsweredDialog : public QObject {
public:
    void set(QDialog* dialog) {
        if (dialog_)
            dialog_->removeEventFilter(this);
        dialog_ = dialog;
        dialog_->installEventFilter(this);
    }
    bool is(QDialog* dialog) const { return dialog_ && dialog_ == dialog; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == dialog_ && event->type() == QEvent::Hide) {
            dialog_->removeEventFilter(this);
            dialog_ = nullptr;
        }
        return false;
    }

private:
    QPointer<QDialog> dialog_;
};

AnsweredDialog& answered() {
    static auto* tracker = new AnsweredDialog;
    return *tracker;
}

void answer(QDialog* dialog, PendingAnswer& pending) {
    QPointer<QDialog> guard(dialog);
    if (pending.inspect)
        pending.inspect(dialog);
    if (!guard || !dialog->isVisible())
        return; // the inspection ended the dialog itself
    answered().set(dialog);
    QAbstractButton* button = findButton(dialog, pending.button);
    if (!button || !button->isVisible() || !button->isEnabled()) {
        ADD_FAILURE() << "modal dialog \"" << dialog->objectName().toStdString()
                      << "\" has no visible, enabled button \"" << pending.button.toStdString()
                      << "\"; its buttons: " << describeButtons(dialog).toStdString();
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    // Queued, so the click's own consequences (another modal, say) run
    // outside this timer's callback and can be answered in turn.
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

QTimer& poller();

void poll() {
    auto& answers = queue();
    if (answers.empty()) {
        poller().stop();
        return;
    }
    PendingAnswer& front = answers.front();
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog && dialog->isVisible() && !answered().is(dialog)) {
        PendingAnswer pending = std::move(front);
        answers.pop_front();
        if (!answers.empty())
            answers.front().deadline.setRemainingTime(answers.front().timeoutMs);
        answer(dialog, pending);
        return;
    }
    if (front.deadline.hasExpired()) {
        ADD_FAILURE() << "no modal dialog appeared within " << front.timeoutMs
                      << " ms to answer with \"" << front.button.toStdString() << "\"";
        answers.pop_front();
        if (!answers.empty())
            answers.front().deadline.setRemainingTime(answers.front().timeoutMs);
    }
}

QTimer& poller() {
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(qApp);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, &poll);
    }
    return *timer;
}

} // namespace

void answerNextModal(const QString& button, std::function<void(QDialog*)> inspect, int timeoutMs) {
    auto& answers = queue();
    answers.push_back({button, std::move(inspect), timeoutMs, QDeadlineTimer(timeoutMs)});
    if (!poller().isActive())
        poller().start();
}

int pendingModalAnswers() {
    return static_cast<int>(queue().size());
}

void cancelModalAnswers() {
    queue().clear();
}

QWidget* waitForFocusWidget(int timeoutMs) {
    if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, timeoutMs))
        return nullptr;
    return QApplication::focusWidget();
}

std::function<void(QDialog*)> recordMessage(QString& into) {
    return [&into](QDialog* d) {
        if (auto* label = d->findChild<QLabel*>(QStringLiteral("Label1")))
            into = label->text();
    };
}

} // namespace korvalo::test
