#pragma once
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

// A whitespace-separated text table: the first line names the columns, every further line
// is one row. Cells are read as text by row and column name, or as integers (atol rules).
class DataTable {
public:
    DataTable(std::vector<std::string> columnNames, std::vector<std::vector<std::string>> columnCells,
              int32_t rowCount, std::string fileName);
    virtual ~DataTable();

    int32_t getRowCount() const { return rowCount; }
    // Index of the first column called `name`, or -1.
    int32_t findColumn(const std::string& name) const;
    // The cell text; the empty text for a row or column outside the table (column -1
    // included, so a lookup by a missing name reads as empty).
    std::string cell(int32_t row, int32_t column);
    std::string cell(int32_t row, const std::string& name);
    // The cell read as atol reads it (sign and leading digits, else 0), clamped to 32 bits.
    int32_t intValue(int32_t row, const std::string& name);

    std::vector<std::string> columnNames;               // header order
    std::vector<std::vector<std::string>> columnCells;  // [column][row]
    int32_t lastRow = 0;                                 // row of the latest lookup
    int32_t lastColumn = 0;                              // column of the latest lookup
    int32_t rowCount = 0;                                // data rows (lines after the header)
    int32_t columnCount = 0;
    std::string fileName;
};

// Longest line kept, in characters before its line feed; a longer line ends the table.
inline constexpr size_t MaxDataLineLength = 65535;

// Reads a table from a file; a missing or empty file gives a table without rows or columns.
std::unique_ptr<DataTable> readDataTable(const std::string& fileName);
// The same from any stream; `fileName` is only recorded.
std::unique_ptr<DataTable> readDataTable(std::istream& in, const std::string& fileName);
