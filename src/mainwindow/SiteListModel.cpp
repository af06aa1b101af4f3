#include "mainwindow/SiteListModel.h"

#include "data/Cp1256.h"

namespace korvalo {

SiteListModel::SiteListModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , columns_(std::move(columns)) {}

int SiteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SiteListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant SiteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Column column = columns_.at(static_cast<size_t>(index.column()));
    if (role == Qt::DisplayRole) {
        const Row& r = rows_[static_cast<size_t>(index.row())];
        switch (column) {
        case Url:
            return r.url;
        case Language:
            return r.language;
        case Title:
            return r.title;
        }
    }
    if (role == Qt::TextAlignmentRole && column != Url)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

SiteListModel::Row SiteListModel::convert(const SiteRow& row) {
    return {Cp1256::toUnicode(row.url), Cp1256::toUnicode(row.language),
            Cp1256::toUnicode(row.title)};
}

void SiteListModel::setRows(const std::vector<SiteRow>& rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (const SiteRow& r : rows)
        rows_.push_back(convert(r));
    endResetModel();
}

void SiteListModel::appendRow(const SiteRow& row) {
    const int n = rowCount();
    beginInsertRows({}, n, n);
    rows_.push_back(convert(row));
    endInsertRows();
}

void SiteListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

} // namespace korvalo
