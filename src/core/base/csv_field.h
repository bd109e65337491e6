#pragma once

// The fields of the saved table. Every cell is written between double quotes
// and followed by a semicolon, a double quote inside doubled, so a reader of
// semicolon-separated values gets the cell back whatever it holds:
//
//   /a;b"c     ->  "/a;b""c";
//   =HYPERLINK("x")  ->  "'=HYPERLINK(""x"")";
//   -5   12.50%   -  ->  "-5";  "12.50%";  "-";   (numbers and the lone dash stay)
//
// A cell a spreadsheet would run as a formula (one that begins with '=', '+',
// '-', '@', a tab or a carriage return) gets a leading apostrophe, which
// makes it plain text there; plain numbers ("-5", "+3", "12.50%") and the
// lone "-" are left alone.

#include <string>
#include <string_view>

namespace tw {

// Whether `cell` gets the apostrophe.
bool LooksLikeFormula(std::string_view cell);

// Appends `"cell";` to `line`, with the apostrophe when the cell looks like a formula.
void AppendCsvField(std::string& line, std::string_view cell);

// A title line (the report title, the analysed address): the text as it is,
// unless it looks like a formula or holds a quote, semicolon, CR or LF; then
// it is written as a quoted field, so it stays one cell on one line.
std::string CsvTitleLine(std::string_view text);

}  // namespace tw
