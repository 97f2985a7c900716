#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "../support/tga_bytes.h"
#include "font/data_table.h"

namespace {

std::unique_ptr<DataTable> parse(const std::string& text) {
    std::istringstream in(text);
    return readDataTable(in, "test.data");
}

}  // namespace

TEST(DataTable, WorkedExampleWithAndWithoutFinalLineFeed) {
    for (const char* text : {"mapfile xspace yspace\nfont.tga -2 5\n",
                             "mapfile\txspace  yspace\r\n  font.tga  -2\t5 \r\n",
                             "mapfile xspace yspace\nfont.tga -2 5"}) {
        auto table = parse(text);
        ASSERT_EQ(table->getRowCount(), 1) << text;
        EXPECT_EQ(table->columnCount, 3);
        EXPECT_EQ(table->cell(0, "mapfile"), "font.tga");
        EXPECT_EQ(table->intValue(0, "xspace"), -2);
        EXPECT_EQ(table->intValue(0, "yspace"), 5);
        EXPECT_EQ(table->lastRow, 0);
        EXPECT_EQ(table->lastColumn, 2);
        EXPECT_EQ(table->fileName, "test.data");
    }
}

TEST(DataTable, EveryLineIsARowEmptyOnesIncluded) {
    auto table = parse("a b\n1 2\n\n   \n3 4\n\n");
    ASSERT_EQ(table->getRowCount(), 5);
    EXPECT_EQ(table->cell(0, "b"), "2");
    EXPECT_EQ(table->cell(1, "a"), "");
    EXPECT_EQ(table->cell(2, "b"), "");
    EXPECT_EQ(table->cell(3, "a"), "3");
    EXPECT_EQ(table->cell(4, "a"), "");

    EXPECT_EQ(parse("a b c\n")->getRowCount(), 0);
    EXPECT_EQ(parse("a b c")->getRowCount(), 0);
}

TEST(DataTable, HeaderStopsAtARepeatedWordAndRowsFitTheColumns) {
    auto table = parse("a b b c\nx y z w\n");
    ASSERT_EQ(table->columnCount, 2);
    EXPECT_EQ(table->columnNames, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(table->findColumn("c"), -1);
    EXPECT_EQ(table->cell(0, "b"), "y");  // words beyond the columns are dropped

    // A repeated name further apart is a column; the first one wins a lookup.
    auto repeated = parse("a b a\n1 2 3\n");
    EXPECT_EQ(repeated->columnCount, 3);
    EXPECT_EQ(repeated->cell(0, "a"), "1");

    // Missing words repeat the last word the row gave.
    auto fonts = parse("mapfile xspace yspace\nfont.tga 3\nonly.tga\n");
    EXPECT_EQ(fonts->intValue(0, "xspace"), 3);
    EXPECT_EQ(fonts->intValue(0, "yspace"), 3);
    EXPECT_EQ(fonts->cell(1, "yspace"), "only.tga");
    EXPECT_EQ(fonts->intValue(1, "yspace"), 0);
}

TEST(DataTable, OverlongLineEndsTheTable) {
    const std::string longest(MaxDataLineLength, 'x');
    auto kept = parse("name\nfirst\n" + longest + "\nlast\n");
    ASSERT_EQ(kept->getRowCount(), 3);
    EXPECT_EQ(kept->cell(1, "name"), longest);
    EXPECT_EQ(kept->cell(2, "name"), "last");

    auto ended = parse("name\nfirst\n" + longest + "y\nlast\n");
    ASSERT_EQ(ended->getRowCount(), 1);
    EXPECT_EQ(ended->cell(0, "name"), "first");

    // A longest line at the very end, without a line feed, is kept too.
    EXPECT_EQ(parse("name\n" + longest)->getRowCount(), 1);
}

TEST(DataTable, LookupsOutsideTheTableReadEmpty) {
    auto table = parse("mapfile\nfont.tga\n");
    EXPECT_EQ(table->cell(0, "xspace"), "");
    EXPECT_EQ(table->intValue(0, "xspace"), 0);
    EXPECT_EQ(table->cell(1, 0), "");
    EXPECT_EQ(table->cell(-1, 0), "");
    EXPECT_EQ(table->cell(0, 1), "");

    testdata::ScratchDir dir;
    auto missing = readDataTable("data/fonts.data");
    EXPECT_EQ(missing->getRowCount(), 0);
    EXPECT_EQ(missing->columnCount, 0);
    EXPECT_EQ(missing->cell(0, "mapfile"), "");
    testdata::writeText("data/fonts.data", "");
    EXPECT_EQ(readDataTable("data/fonts.data")->getRowCount(), 0);
    testdata::writeText("data/fonts.data", "mapfile xspace\nf.tga 1\n");
    EXPECT_EQ(readDataTable("data/fonts.data")->intValue(0, "xspace"), 1);
}

TEST(DataTable, IntegersFollowAtolRules) {
    auto table = parse("v\n-12abc\n+7\nx5\n99999999999\n-99999999999\n\n");
    EXPECT_EQ(table->intValue(0, "v"), -12);
    EXPECT_EQ(table->intValue(1, "v"), 7);
    EXPECT_EQ(table->intValue(2, "v"), 0);
    EXPECT_EQ(table->intValue(3, "v"), INT32_MAX);
    EXPECT_EQ(table->intValue(4, "v"), INT32_MIN);
    EXPECT_EQ(table->intValue(5, "v"), 0);
}
