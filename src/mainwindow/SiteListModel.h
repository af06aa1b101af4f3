#pragma once

#include "data/SiteListing.h"
#include "search/LocalSearch.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace korvalo {

// The rows of a site list. Columns are given at construction: the browse
// list shows the address (hidden), the language and the description; the
// favourites list shows the address and the description; the search results
// show the address, the category and the description.
class SiteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Url, Language, Title, Category };

    explicit SiteListModel(std::vector<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Replaces every row in one batch; texts are Windows-1256 bytes.
    void setRows(const std::vector<SiteRow>& rows);
    // Replaces every row with search results in one batch, ordered by the
    // address with the platform's text comparison; equal addresses keep
    // their order.
    void setRowsByUrl(const std::vector<FoundSite>& rows);
    void appendRow(const SiteRow& row);
    void removeRowAt(int row);
    void clear();

    QString url(int row) const { return rows_.at(row).url; }
    QString title(int row) const { return rows_.at(row).title; }
    QString language(int row) const { return rows_.at(row).language; }
    QString category(int row) const { return rows_.at(row).category; }

private:
    struct Row {
        QString url;
        QString language;
        QString title;
        QString category;
    };
    static Row convert(const SiteRow& row);

    std::vector<Column> columns_;
    std::vector<Row> rows_;
};

} // namespace korvalo
