#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

class QTreeWidgetItem;

namespace korvalo {
class TForm1;
}

namespace korvalo::bench {

// The main window started offscreen over one benchmark folder, with a
// registry file of its own; messages go to standard error.
class WindowHarness {
public:
    explicit WindowHarness(const std::string& folder);
    ~WindowHarness();

    TForm1& form() { return *form_; }
    // The top-level node of the browse tree with that Windows-1256 name.
    QTreeWidgetItem* browseNode(const std::string& name) const;
    // A click on a node of the browse tree, as the user gives it.
    void clickBrowseNode(QTreeWidgetItem* node);
    // Lets the list lay out and paint what it now holds; the number of rows.
    int showBrowseList();

    // The search panel shown with the query typed in and the scope chosen.
    void typeSearch(const QString& query, bool addressScope);
    // A click on "ابحث", then the result list laid out and painted; the
    // number of rows.
    int clickSearch();

private:
    QTemporaryDir config_;
    std::unique_ptr<TForm1> form_;
};

} // namespace korvalo::bench
