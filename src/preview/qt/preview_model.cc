#include "preview/qt/preview_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "table/table_writer.h"

namespace tabulon {
namespace {

const QColor kMissingBackground(0xfd, 0xe2, 0xe2);
const QColor kMissingText(0xa0, 0x40, 0x40);

// A cell holds one line in the table; its line ends show as a return sign.
QString oneLine(const std::string& text) {
    QString line = QString::fromUtf8(text);
    line.replace(QLatin1Char('\n'), QStringLiteral(" \u21b5 "));
    return line;
}

}  // namespace

void PreviewModel::reset(const std::vector<std::string>& columns) {
    beginResetModel();
    titles_.clear();
    for (const std::string& column : columns)
        titles_ << QString::fromUtf8(columnTitle(column));
    rows_.clear();
    endResetModel();
}

void PreviewModel::appendRows(std::vector<TableRow>* rows) {
    if (rows->empty()) return;
    int first = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows->size()) - 1);
    for (TableRow& row : *rows)
        rows_.push_back(std::move(row));
    endInsertRows();
    rows->clear();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

std::string PreviewModel::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0) return {};
    const TableRow& cells = rows_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                      : std::string();
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    std::string text = cell(index.row(), index.column());
    bool missing = text.empty();
    switch (role) {
        case Qt::DisplayRole:
            return missing ? QStringLiteral("missing") : oneLine(text);
        case Qt::ToolTipRole:
            return missing ? QStringLiteral("This message has no %1 field.")
                                 .arg(titles_.value(index.column()))
                           : QString::fromUtf8(text);
        case Qt::BackgroundRole:
            return missing ? QVariant(QBrush(kMissingBackground)) : QVariant();
        case Qt::ForegroundRole:
            return missing ? QVariant(QBrush(kMissingText)) : QVariant();
        case Qt::FontRole:
            if (missing) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        default:
            return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return titles_.value(section);
    return section + 1;
}

}  // namespace tabulon
