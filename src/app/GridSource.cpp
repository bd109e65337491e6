#include "GridSource.h"

#include "form/log_grid.h"
#include "form/view.h"

namespace {

bool inside(const GridSource& source, int col, int row) {
  return col >= 0 && row >= 0 && col < source.columnCount() && row < source.rowCount();
}

}  // namespace

int StatGridSource::columnCount() const { return m_view.StringGrid1.ColCount(); }
int StatGridSource::rowCount() const { return m_view.StringGrid1.RowCount(); }

std::string StatGridSource::cell(int col, int row) const {
  return inside(*this, col, row) ? m_view.StringGrid1.Cell(col, row) : std::string();
}

std::vector<int> StatGridSource::columnWidths() const { return m_view.StringGrid1.ColWidths; }
int StatGridSource::currentRow() const { return m_view.StringGrid1.Row; }
void StatGridSource::setCurrentRow(int row) { m_view.StringGrid1.Row = row; }

std::optional<tw::Rgb> StatGridSource::fillColour(int col, int row) const {
  if (!inside(*this, col, row)) return std::nullopt;
  return tw::StatCellColour(m_view, col, row);
}

int RawLogGridSource::columnCount() const { return m_grid.ColCount(); }
int RawLogGridSource::rowCount() const { return m_grid.RowCount(); }

std::string RawLogGridSource::cell(int col, int row) const {
  return inside(*this, col, row) ? m_grid.Cell(col, row) : std::string();
}

std::vector<int> RawLogGridSource::columnWidths() const { return m_grid.ColWidths; }
int RawLogGridSource::currentRow() const { return m_grid.Row; }
void RawLogGridSource::setCurrentRow(int row) { m_grid.Row = row; }
