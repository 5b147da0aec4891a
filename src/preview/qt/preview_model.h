// The spreadsheet preview's table as a model for a table view: the rows of a
// message conversion, appended in batches as they are read, under the columns'
// titles. An empty cell (a field the message lacks) shows as "missing" on a
// tinted background, so that gaps stand out.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "preview/preview_reader.h"

namespace tabulon {

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // Starts afresh with these columns and no rows.
    void reset(const std::vector<std::string>& columns);
    // Appends `rows` (moved from).
    void appendRows(std::vector<TableRow>* rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The cell's text as read (UTF-8), "" for a missing one.
    std::string cell(int row, int column) const;
    // The column titles as shown.
    QStringList titles() const { return titles_; }

  private:
    QStringList titles_;
    std::vector<TableRow> rows_;
};

}  // namespace tabulon
