#pragma once

// What a table view shows of one of the core's text grids. Row 0 of a grid
// holds the column titles, rows 1.. the cells; texts are UTF-8.

#include <optional>
#include <string>
#include <vector>

#include "form/stat_grid.h"

namespace tw {
struct FormView;
class RawLogGrid;
}  // namespace tw

class GridSource {
 public:
  virtual ~GridSource() = default;

  virtual int columnCount() const = 0;
  virtual int rowCount() const = 0;  // title row included
  // Empty outside the grid.
  virtual std::string cell(int col, int row) const = 0;
  virtual std::vector<int> columnWidths() const = 0;
  virtual int currentRow() const = 0;
  virtual void setCurrentRow(int row) = 0;
  // The colour a cell is filled with, or none for the view's own painting.
  virtual std::optional<tw::Rgb> fillColour(int /*col*/, int /*row*/) const { return std::nullopt; }
};

// StringGrid1 of a view, with the view's cell colours.
class StatGridSource : public GridSource {
 public:
  explicit StatGridSource(tw::FormView& view) : m_view(view) {}
  int columnCount() const override;
  int rowCount() const override;
  std::string cell(int col, int row) const override;
  std::vector<int> columnWidths() const override;
  int currentRow() const override;
  void setCurrentRow(int row) override;
  std::optional<tw::Rgb> fillColour(int col, int row) const override;

 private:
  tw::FormView& m_view;
};

// StringGrid2, painted by the view itself.
class RawLogGridSource : public GridSource {
 public:
  explicit RawLogGridSource(tw::RawLogGrid& grid) : m_grid(grid) {}
  int columnCount() const override;
  int rowCount() const override;
  std::string cell(int col, int row) const override;
  std::vector<int> columnWidths() const override;
  int currentRow() const override;
  void setCurrentRow(int row) override;

 private:
  tw::RawLogGrid& m_grid;
};
