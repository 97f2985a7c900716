// Reads arbitrary bytes as a font definition table and lays the same bytes out as text with
// the spacings and box the table gives (columns xspace, yspace, x, y, w, h of row 0).
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "font/data_table.h"
#include "font/text_layout.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    // Cells are a font image's sides (16 bits in a TGA file) divided by 16.
    FontMetrics metrics;
    metrics.cellWidth = (data[0] | data[1] << 8) / 16;
    metrics.cellHeight = (data[2] | data[3] << 8) / 16;
    const std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);

    std::istringstream in(text);
    auto table = readDataTable(in, "fuzz.data");
    check(table->rowCount >= 0);
    check(table->columnCount == static_cast<int32_t>(table->columnNames.size()));
    for (int32_t row = -1; row <= table->getRowCount(); ++row)
        for (int32_t column = -1; column <= table->columnCount; ++column) table->cell(row, column);
    metrics.xspace = table->intValue(0, "xspace");
    metrics.yspace = table->intValue(0, "yspace");
    const int32_t x = table->intValue(0, "x"), y = table->intValue(0, "y");
    const int32_t width = table->intValue(0, "w"), height = table->intValue(0, "h");

    const auto quads = layoutText(x, y, width, height, text, metrics);
    check(quads.size() <= text.size());
    for (const GlyphQuad& quad : quads) {
        check(quad.right - quad.left == metrics.cellWidth);
        check(quad.bottom - quad.top == metrics.cellHeight);
        check(quad.top - y <= int64_t{height} - metrics.cellHeight);
    }
    return 0;
}
