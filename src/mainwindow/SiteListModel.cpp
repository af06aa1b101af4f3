#include "mainwindow/SiteListModel.h"

#include "data/Cp1256.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <unordered_map>

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
        case Category:
            return r.category;
        }
    }
    if (role == Qt::TextAlignmentRole && column == Category)
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    if (role == Qt::TextAlignmentRole && column != Url)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

SiteListModel::Row SiteListModel::convert(const SiteRow& row) {
    return {Cp1256::toUnicode(row.url),
            Cp1256::toUnicode(row.language),
            Cp1256::toUnicode(row.title),
            {}};
}

void SiteListModel::setRows(const std::vector<SiteRow>& rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (const SiteRow& r : rows)
        rows_.push_back(convert(r));
    endResetModel();
}

void SiteListModel::setRowsByUrl(const std::vector<FoundSite>& rows) {
    std::vector<Row> converted;
    converted.reserve(rows.size());
    // Few distinct category names: convert each once and share the text.
    std::unordered_map<std::string, QString> names;
    for (const FoundSite& r : rows) {
        auto [it, added] = names.try_emplace(r.category);
        if (added)
            it->second = Cp1256::toUnicode(r.category);
        converted.push_back({Cp1256::toUnicode(r.url), {}, Cp1256::toUnicode(r.title), it->second});
    }
    // Sort keys make a search that matches every site affordable: one
    // collation per row instead of one per comparison.
    const QCollator collator;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(converted.size());
    for (const Row& r : converted)
        keys.push_back(collator.sortKey(r.url));
    std::vector<size_t> order(converted.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });

    beginResetModel();
    rows_.clear();
    rows_.reserve(converted.size());
    for (size_t i : order)
        rows_.push_back(std::move(converted[i]));
    endResetModel();
}

void SiteListModel::appendRow(const SiteRow& row) {
    const int n = rowCount();
    beginInsertRows({}, n, n);
    rows_.push_back(convert(row));
    endInsertRows();
}

void SiteListModel::removeRowAt(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void SiteListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

} // namespace korvalo
