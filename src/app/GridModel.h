#pragma once

// A table model over one of the core's text grids (GridSource). The grid's
// title row becomes the horizontal header; grid row r + 1 is model row r.
// The model reads the grid on demand, so a grid of a million rows costs no
// copy. The core changes its grids without telling anyone: call reset() after
// every call into the core and before the event loop runs again.

#include <QAbstractTableModel>
#include <QList>

#include "GridSource.h"

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Roles {
    // QColor the cell is filled with; absent when the view paints the cell itself.
    FillColourRole = Qt::UserRole + 1,
  };

  // The source must outlive the model.
  explicit GridModel(const GridSource& source, QObject* parent = nullptr);

  // Re-reads the grid: a full reset when its shape changed (returns true),
  // else a repaint of every cell and title.
  bool reset();

  // The cells of the given model rows, tab-separated, one line per row;
  // columns of width 0 (hidden) are left out.
  QString rowsAsText(QList<int> rows) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  const GridSource& m_source;
  int m_rows = 0;
  int m_columns = 0;
};
