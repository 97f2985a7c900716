#include <gtest/gtest.h>

#include "datagen_options.h"

TEST(DatagenArguments, OptionsAreOptionsWhereverTheyStand) {
    EXPECT_TRUE(parseDatagenArguments({"--help"}).help);
    EXPECT_TRUE(parseDatagenArguments({"out", "-h"}).help);
    // --report first or alone is no directory; alone it writes nothing.
    const DatagenArguments reportOnly = parseDatagenArguments({"--report"});
    EXPECT_TRUE(reportOnly.report && reportOnly.error.empty() && reportOnly.outputDir.empty());
    const DatagenArguments mixed = parseDatagenArguments({"--report", "out", "font.tga", "--", "--x"});
    EXPECT_TRUE(mixed.report && mixed.error.empty());
    EXPECT_EQ(mixed.outputDir, "out");
    EXPECT_EQ(mixed.names, (std::vector<std::string>{"font.tga", "--x"}));
    EXPECT_EQ(parseDatagenArguments({"--", "--help"}).outputDir, "--help");
    EXPECT_EQ(parseDatagenArguments({"out", "--bogus"}).error, "unknown option '--bogus'");
    EXPECT_FALSE(parseDatagenArguments({}).error.empty());
}
