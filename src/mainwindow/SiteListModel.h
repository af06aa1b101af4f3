#pragma once

#include "data/SiteListing.h"
#include "data/SiteRowBuffer.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace korvalo {

// The rows of a site list. Columns are given at construction: the browse
// list shows the address (hidden), the language and the description; the
// favourites list shows the address and the description; the search results
// show the address, the category and the description. The rows stay in
// their stored bytes; a text is converted when a view asks for it, so a
// list costs the same whether it holds ten rows or a million.
class SiteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Url, Language, Title, Category };

    explicit SiteListModel(std::vector<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Replace every row in one batch; texts are Windows-1256 bytes.
    void setRows(const std::vector<SiteRow>& rows);
    void setRows(SiteRowBuffer rows);
    // Replaces every row with search results in one batch, in the order of
    // their addresses (see AddressOrder); the category column shows each
    // row's categoryName().
    void setRowsByUrl(SiteRowBuffer rows);
    void appendRow(const SiteRow& row);
    void removeRowAt(int row);
    void clear();

    QString url(int row) const;
    QString title(int row) const;
    QString language(int row) const;
    QString category(int row) const;

private:
    std::vector<Column> columns_;
    SiteRowBuffer rows_;
    std::vector<QString> categoryNames_; // rows_.categoryNames(), converted
};

} // namespace korvalo
