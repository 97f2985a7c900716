#include <gtest/gtest.h>

#include "app/option_values.h"
#include "app/options.h"
#include "platform/process.h"

TEST(PlayerOptions, NoArgumentsIsThePlainShow) {
    const ParsedOptions p = parsePlayerOptions({});
    EXPECT_TRUE(p.error.empty());
    EXPECT_FALSE(p.options.window || p.options.mute || p.options.loop || p.options.help);
    EXPECT_EQ(p.options.startMs, 0u);
    EXPECT_EQ(p.options.showRate, 120u);
    EXPECT_TRUE(p.options.audioDevice.empty());
    EXPECT_EQ(p.options.audioLatencyMs, 0u);
}

TEST(PlayerOptions, ValuesInEitherGnuForm) {
    ParsedOptions p = parsePlayerOptions({"--window", "--mute", "--start=42000", "--loop",
                                          "--audio-device", "Speakers (USB)"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_TRUE(p.options.window);
    EXPECT_EQ(p.options.windowWidth, 1280);
    EXPECT_EQ(p.options.windowHeight, 720);
    EXPECT_TRUE(p.options.mute);
    EXPECT_TRUE(p.options.loop);
    EXPECT_EQ(p.options.startMs, 42000u);
    EXPECT_EQ(p.options.audioDevice, "Speakers (USB)");

    for (const auto& window : {std::vector<std::string>{"--window=800x600"}, {"--window", "800x600"}}) {
        std::vector<std::string> args = window;
        args.insert(args.end(), {"--start", "90596", "--audio-device=hw", "--show-rate", "0",
                                 "--audio-latency", "1000"});
        p = parsePlayerOptions(args);
        ASSERT_TRUE(p.error.empty()) << p.error;
        EXPECT_EQ(p.options.windowWidth, 800);
        EXPECT_EQ(p.options.windowHeight, 600);
        EXPECT_EQ(p.options.startMs, 90596u);
        EXPECT_EQ(p.options.audioDevice, "hw");
        EXPECT_EQ(p.options.showRate, 0u);  // the original's uncapped loop
        EXPECT_EQ(p.options.audioLatencyMs, 1000u);
    }
    EXPECT_EQ(parsePlayerOptions({"--audio-latency=180"}).options.audioLatencyMs, 180u);
    p = parsePlayerOptions({"--display", "1", "--list-displays"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    EXPECT_TRUE(p.options.displayGiven && p.options.listDisplays);
    EXPECT_EQ(p.options.display, 1u);
    EXPECT_EQ(parsePlayerOptions({"--display=0"}).options.display, 0u);
    EXPECT_FALSE(parsePlayerOptions({}).options.displayGiven);
}

TEST(PlayerOptions, BadArgumentsGiveOneLineErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--frobnicate"}, {"-x"}, {"plain"}, {"--window=800"}, {"--window", "800"},
          {"--window=0x600"}, {"--window=800x600x2"}, {"--start=-5"}, {"--start=90597"},
          {"--start=12ms"}, {"--start"}, {"--mute=yes"}, {"--audio-device"},
          {"--audio-device="}, {"--show-rate=1001"}, {"--show-rate"}, {"--show-rate=60Hz"},
          {"--audio-latency"}, {"--audio-latency=1001"}, {"--audio-latency=-20"},
          {"--audio-latency=20ms"}, {"--audio-device", "--mute"}, {"--display"},
          {"--display=-1"}, {"--display=256"}, {"--display=HDMI-1"}, {"--display", "--mute"},
          {"--list-displays=all"}}) {
        const ParsedOptions p = parsePlayerOptions(args);
        EXPECT_FALSE(p.error.empty()) << args[0] << " " << args.back();
        EXPECT_EQ(p.error.find('\n'), std::string::npos);
    }
}

TEST(DataLocation, WorkingDirectoryThenBuildTreeThenTheInstalledData) {
    // Unpacked anywhere: the data is found relative to the program, then at the fixed place.
    std::vector<std::string> roots =
        dataRootCandidates("/tmp/root/usr/games", "../share/soltarek", "/usr/share/soltarek");
    EXPECT_EQ(roots, (std::vector<std::string>{".", "/tmp/root/usr/games",
                                               "/tmp/root/usr/share/soltarek", "/usr/share/soltarek"}));
    // Installed where the build said: the two installed places are one, tried once.
    roots = dataRootCandidates("/usr/games", "../share/soltarek/", "/usr/share/soltarek");
    EXPECT_EQ(roots, (std::vector<std::string>{".", "/usr/games", "/usr/share/soltarek"}));
    EXPECT_EQ(dataRootCandidates("", "../share/soltarek", ""), std::vector<std::string>{"."});
}

TEST(ProgramName, LastPartOfTheStartName) {
    EXPECT_EQ(programName("/usr/games/soltarek", "demo"), "soltarek");
    EXPECT_EQ(programName("soltarek-capture", "demo-capture"), "soltarek-capture");
    EXPECT_EQ(programName("./build/", "demo"), "demo");
    EXPECT_EQ(programName(nullptr, "demo"), "demo");
}
