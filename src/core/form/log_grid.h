#pragma once

// StringGrid2, the raw log table, as plain data. It lists records, one per
// row, and produces the eight cells of a row from its record when they are
// read, so listing a million records takes one pointer each.
//
//   row 0: the column titles; rows 1..k: listed records (row r numbered r);
//   row k+1: empty. With nothing listed the row count is 2.

#include <cstddef>
#include <string>
#include <vector>

#include "log/ipv6_table.h"
#include "log/record.h"

namespace tw {

class RawLogGrid {
 public:
  static constexpr int kColCount = 8;

  int ColCount() const { return kColCount; }
  int RowCount() const { return static_cast<int>(listed_.size()) + 2; }
  // Columns: number, address, time, request, status, bytes, referrer, user agent.
  std::string Cell(int col, int row) const;
  const LogRecord* RecordAt(int row) const;  // null for the title and the last row

  std::vector<std::string> Header = std::vector<std::string>(kColCount);
  // Where the listed records' IPv6 addresses are; null shows them empty.
  const Ipv6AddressTable* Addresses = nullptr;
  std::vector<int> ColWidths = {30, 90, 120, 300, 70, 70, 400, 700};
  int Row = 1;  // the current row

  // Row count 2, row 1 empty, current row 1.
  void Clear();
  // Lists `records`, one per row, from the first row on.
  void List(std::vector<const LogRecord*> records);
  // Adds one row at the end, before the empty last row.
  void AppendRawLogRow(const LogRecord* record) { listed_.push_back(record); }
  // Room for `rows` more rows at once, so a long list is not copied as it grows.
  void ReserveRows(std::size_t rows);

 private:
  std::vector<const LogRecord*> listed_;
};

}  // namespace tw
