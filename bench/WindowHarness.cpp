#include "WindowHarness.h"

#include "data/Cp1256.h"
#include "desktop/TPasswordDlg.h"
#include "mainwindow/BrowsePanel.h"
#include "mainwindow/SiteListModel.h"
#include "mainwindow/TForm1.h"
#include "online/TOnlineIP.h"
#include "search/ui/SearchPanel.h"
#include "widgets/ButtonWithColor.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdio>
#include <stdexcept>

namespace korvalo::bench {

WindowHarness::WindowHarness(const std::string& folder) {
    StartupEnvironment env;
    env.programDir = QString::fromStdString(folder);
    env.registryPath = config_.filePath(QStringLiteral("registry.reg"));
    env.screenSize = QSize(1024, 768);
    // Each window of the run is a first copy, not "already running".
    env.instanceName = QStringLiteral("korvalo-bench-window");
    env.instanceLockFolder = config_.path();
    env.plainMessage = [](const QString& text) {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    };
    env.quit = [](int status) { std::fprintf(stderr, "the window asked to end (%d)\n", status); };
    env.bannerFolder = config_.filePath(QStringLiteral("banners"));
    form_ = std::make_unique<TForm1>(env);
    // The timings are of the directory: no banner or counter request runs
    // beside them.
    form_->OnlineIP1->setEnabled(false);
    if (!form_->startUp())
        throw std::runtime_error("the main window did not start on " + folder);
    // A folder with a password would stop the window at its prompt on the
    // first show; answer it as the user would.
    const QString password = form_->state().storedPassword;
    if (!password.isEmpty())
        QTimer::singleShot(0, [password] {
            TPasswordDlg& prompt = TPasswordDlg::instance();
            prompt.Password->setText(password);
            prompt.Button1->click();
        });
    form_->show();
    QApplication::processEvents();
}

WindowHarness::~WindowHarness() = default;

QTreeWidgetItem* WindowHarness::browseNode(const std::string& name) const {
    const QString text = Cp1256::toUnicode(name);
    QTreeWidget* tree = form_->Show_Panel->TreeView1;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == text)
            return tree->topLevelItem(i);
    throw std::runtime_error("no category in the browse tree named " + text.toStdString());
}

void WindowHarness::clickBrowseNode(QTreeWidgetItem* node) {
    // A search benchmark before this one leaves the search panel in front.
    if (!form_->Show_Panel->isVisible())
        form_->ShowPanel(form_->Show_Panel);
    QTreeWidget* tree = form_->Show_Panel->TreeView1;
    tree->scrollToItem(node);
    const QRect r = tree->visualItemRect(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
}

namespace {

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget)
        : widget_(widget) {
        widget_->installEventFilter(this);
    }
    ~PaintCounter() override { widget_->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }

private:
    QWidget* widget_;
};

// The posted layout and update run as the event loop would run them, which
// paints the list; should the loop not have painted it, it is painted then,
// so that the list is drawn once before we call it shown.
int paintList(QAbstractItemView* list, const char* what) {
    {
        const PaintCounter painted(list->viewport());
        QApplication::processEvents();
        // A hidden list paints nothing, and would be timed as if it had.
        if (!list->isVisible())
            throw std::runtime_error(std::string(what) + " is not on the screen");
        if (painted.count == 0)
            list->viewport()->repaint();
    }
    const int rows = list->model()->rowCount();
    if (rows > 0 && (!list->indexAt(QPoint(list->viewport()->width() / 2, 1)).isValid() ||
                     (rows > 100 && list->verticalScrollBar()->maximum() == 0)))
        throw std::runtime_error(std::string(what) + " did not lay out its rows");
    return rows;
}

} // namespace

int WindowHarness::showBrowseList() {
    return paintList(form_->Show_Panel->ListView1, "the browse list");
}

void WindowHarness::typeSearch(const QString& query, bool addressScope) {
    SearchPanel* panel = form_->Search_Panel;
    if (!panel->isVisible())
        form_->ShowPanel(panel);
    (addressScope ? panel->RadioButton2 : panel->RadioButton1)->setChecked(true);
    panel->Edit4->setText(query);
}

int WindowHarness::clickSearch() {
    SearchPanel* panel = form_->Search_Panel;
    QTest::mouseClick(panel->BitBtnWithColor1, Qt::LeftButton);
    return paintList(panel->ListView2, "the search results");
}

} // namespace korvalo::bench
