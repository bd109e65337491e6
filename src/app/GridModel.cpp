#include "GridModel.h"

#include <QColor>
#include <algorithm>

#include "CoreText.h"
#include "form/stat_grid.h"

namespace {

QColor toColor(tw::Rgb rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

GridModel::GridModel(const GridSource& source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source) {
  m_rows = std::max(0, m_source.rowCount() - 1);
  m_columns = std::max(0, m_source.columnCount());
}

bool GridModel::reset() {
  const int rows = std::max(0, m_source.rowCount() - 1);
  const int columns = std::max(0, m_source.columnCount());
  if (rows != m_rows || columns != m_columns) {
    beginResetModel();
    m_rows = rows;
    m_columns = columns;
    endResetModel();
    return true;
  }
  if (m_columns == 0) return false;
  if (m_rows > 0) emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
  emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
  return false;
}

QString GridModel::rowsAsText(QList<int> rows) const {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const std::vector<int> widths = m_source.columnWidths();
  QString text;
  for (int row : rows) {
    if (row < 0 || row >= m_rows) continue;
    QString line;
    bool first = true;
    for (int col = 0; col < m_columns; ++col) {
      if (col < static_cast<int>(widths.size()) && widths[col] <= 0) continue;
      if (!first) line += QLatin1Char('\t');
      line += fromCoreText(m_source.cell(col, row + 1));
      first = false;
    }
    text += line + QLatin1Char('\n');
  }
  return text;
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_columns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const int col = index.column();
  const int row = index.row() + 1;
  switch (role) {
    case Qt::DisplayRole:
      return fromCoreText(m_source.cell(col, row));
    case FillColourRole:
      if (const auto fill = m_source.fillColour(col, row)) return toColor(*fill);
      return {};
    case Qt::ForegroundRole:
      // Text stays readable on the navy of the current row.
      if (const auto fill = m_source.fillColour(col, row))
        return QColor(*fill == tw::kSelectedRowColour ? Qt::white : Qt::black);
      return {};
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= m_columns) return {};
  if (role == Qt::DisplayRole) return fromCoreText(m_source.cell(section, 0));
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
