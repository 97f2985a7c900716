#include "font/data_table.h"

#include "platform/data_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace {

constexpr std::string_view Whitespace = " \t\r\v\f";

// Splits a line into its words, in order.
class WordReader {
public:
    explicit WordReader(std::string_view line) : line_(line) {}
    bool next(std::string& word) {
        const size_t start = line_.find_first_not_of(Whitespace, position_);
        if (start == std::string_view::npos) {
            position_ = line_.size();
            return false;
        }
        size_t end = line_.find_first_of(Whitespace, start);
        if (end == std::string_view::npos) end = line_.size();
        word.assign(line_.substr(start, end - start));
        position_ = end;
        return true;
    }

private:
    std::string_view line_;
    size_t position_ = 0;
};

std::vector<std::string> readLines(std::istream& in) {
    std::vector<std::string> lines;
    std::vector<char> buffer(MaxDataLineLength + 1);
    // getline fails at the end of the data (nothing read) and on a line too long for the
    // buffer; either ends the reading.
    while (in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size())))
        lines.emplace_back(buffer.data(), static_cast<size_t>(in.gcount()) - (in.eof() ? 0 : 1));
    return lines;
}

// Header words up to the end of the line or to the first word equal to the one before it.
std::vector<std::string> readColumnNames(std::string_view header) {
    std::vector<std::string> names;
    WordReader words(header);
    std::string word;
    while (words.next(word)) {
        if (!names.empty() && names.back() == word) break;
        names.push_back(word);
    }
    return names;
}

}  // namespace

DataTable::DataTable(std::vector<std::string> names, std::vector<std::vector<std::string>> cells,
                     int32_t rows, std::string file)
    : columnNames(std::move(names)),
      columnCells(std::move(cells)),
      rowCount(rows),
      columnCount(static_cast<int32_t>(columnNames.size())),
      fileName(std::move(file)) {}

DataTable::~DataTable() = default;

int32_t DataTable::findColumn(const std::string& name) const {
    const auto found = std::find(columnNames.begin(), columnNames.end(), name);
    return found == columnNames.end() ? -1 : static_cast<int32_t>(found - columnNames.begin());
}

std::string DataTable::cell(int32_t row, int32_t column) {
    lastRow = row;
    lastColumn = column;
    if (row < 0 || row >= rowCount || column < 0 || column >= columnCount) return {};
    return columnCells[column][row];
}

std::string DataTable::cell(int32_t row, const std::string& name) {
    return cell(row, findColumn(name));
}

int32_t DataTable::intValue(int32_t row, const std::string& name) {
    const std::string text = cell(row, name);
    // strtol saturates instead of overflowing; the value is then clamped to 32 bits.
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

std::unique_ptr<DataTable> readDataTable(std::istream& in, const std::string& fileName) {
    const std::vector<std::string> lines = readLines(in);
    std::vector<std::string> names;
    if (!lines.empty()) names = readColumnNames(lines.front());
    const auto rowCount = static_cast<int32_t>(lines.empty() ? 0 : lines.size() - 1);
    std::vector<std::vector<std::string>> cells(names.size(), std::vector<std::string>(rowCount));
    for (int32_t row = 0; row < rowCount; ++row) {
        WordReader words(lines[row + 1]);
        std::string value;  // a missing word repeats the row's last value
        for (auto& column : cells) {
            words.next(value);
            column[row] = value;
        }
    }
    return std::make_unique<DataTable>(std::move(names), std::move(cells), rowCount, fileName);
}

std::unique_ptr<DataTable> readDataTable(const std::string& fileName) {
    // Read whole first: the file may be a FIFO or a device, which openDataFile refuses
    // instead of waiting on it. A file that cannot be opened reads as an empty table.
    std::string text;
    if (std::FILE* file = openDataFile(fileName)) {
        char block[4096];
        size_t got = 0;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
        std::fclose(file);
    }
    std::istringstream in(text);
    return readDataTable(in, fileName);
}
