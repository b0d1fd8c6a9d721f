#pragma once
// The calibration table as CSV, and reading back a table the console exported (the text table or
// the CSV), so a technician can continue a table another day and export it again identically.
//
// CSV: UTF-8 without a byte-order mark, fields separated by commas, lines ending with CR LF, one
// header row, then one line per shown row. A full stop is the decimal point whatever the PC's
// regional formats say, so spreadsheets and the platforms read the numbers the same everywhere.
// Every line carries the unit, the sensor and the comment too, so a line copied out of the file
// still says which table it belongs to. A field holding a comma, a quote, a line break or an
// edge blank is quoted, a quote inside doubled.

#include <string>
#include <string_view>
#include <vector>

#include "calibration/TableExport.h"

namespace rv {

// The CSV bytes of a table. Readings shown with `decimalSeparator` are written with ".".
std::string TarCsvText(const TarTableData& data, char decimalSeparator);

// The path a CSV export goes to when the technician picked CSV for `path` (UTF-8): the proposed
// name ends with ".txt", so that ending gives way to ".csv"; a name already ending with ".csv"
// stays as it is (both compared without regard to case).
std::string CsvPathOf(std::string path);

// A table read back: what a channel needs to continue it. Texts are Windows-1251.
struct ImportedTable {
    std::string unitId;
    std::string sourceName;
    std::vector<TarRow> rows;  // all shown, numbered 1, 2, ...
    std::string comment;
};

struct TarImportResult {
    bool ok = false;
    ImportedTable table;
    std::string errorText;  // UTF-8, for the technician, when not ok
};

// Reads a file's bytes as either format (told apart by the first line). Readings in a CSV get
// `decimalSeparator` back in place of ".". A file that is neither format in full is refused.
TarImportResult ParseTarTable(std::string_view bytes, char decimalSeparator);

}  // namespace rv
