#include "mainwindow/SiteListModel.h"

#include "data/Cp1256.h"
#include "search/LocalSearch.h"

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
        switch (column) {
        case Url:
            return url(index.row());
        case Language:
            return language(index.row());
        case Title:
            return title(index.row());
        case Category:
            return category(index.row());
        }
    }
    if (role == Qt::TextAlignmentRole && column == Category)
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    if (role == Qt::TextAlignmentRole && column != Url)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void SiteListModel::setRows(const std::vector<SiteRow>& rows) {
    SiteRowBuffer buffer;
    buffer.reserve(rows.size());
    for (const SiteRow& r : rows)
        buffer.append(r);
    setRows(std::move(buffer));
}

void SiteListModel::setRows(SiteRowBuffer rows) {
    beginResetModel();
    rows_ = std::move(rows);
    categoryNames_.clear();
    for (const std::string& name : rows_.categoryNames())
        categoryNames_.push_back(Cp1256::toUnicode(name));
    endResetModel();
}

void SiteListModel::setRowsByUrl(SiteRowBuffer rows) {
    sortByAddress(rows);
    setRows(std::move(rows));
}

void SiteListModel::appendRow(const SiteRow& row) {
    const int n = rowCount();
    beginInsertRows({}, n, n);
    rows_.append(row);
    endInsertRows();
}

void SiteListModel::removeRowAt(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(static_cast<size_t>(row));
    endRemoveRows();
}

void SiteListModel::clear() {
    beginResetModel();
    rows_.clear();
    categoryNames_.clear();
    endResetModel();
}

QString SiteListModel::url(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return Cp1256::toUnicode(rows_.url(static_cast<size_t>(row)));
}

QString SiteListModel::title(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return Cp1256::toUnicode(rows_.title(static_cast<size_t>(row)));
}

QString SiteListModel::language(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return Cp1256::toUnicode(rows_.language(static_cast<size_t>(row)));
}

QString SiteListModel::category(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    const uint32_t n = rows_.number(static_cast<size_t>(row));
    return n < categoryNames_.size() ? categoryNames_[n] : QString();
}

} // namespace korvalo
