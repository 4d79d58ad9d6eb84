#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zr410::sim;

namespace {

OptionsResult parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

}  // namespace

TEST(SimDeviceList, ListsAndRangesAreExpandedSortedAndMerged) {
    EXPECT_EQ(ParseDeviceList("1,3,7"), (std::vector<int>{1, 3, 7}));
    EXPECT_EQ(ParseDeviceList("7,1-5,3"), (std::vector<int>{1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(ParseDeviceList("99"), (std::vector<int>{99}));
    for (const char* bad : {"", "0", "100", "1,", ",1", "5-3", "1-", "a", "1;2", "1,,2", "-3"}) {
        EXPECT_FALSE(ParseDeviceList(bad)) << bad;
    }
}

TEST(SimDeviceList, FormatsRunsAsRanges) {
    EXPECT_EQ(FormatDeviceList({1, 2, 3, 4, 5, 7}), "1-5,7");
    EXPECT_EQ(FormatDeviceList({1, 3, 7}), "1,3,7");
    EXPECT_EQ(FormatDeviceList({1, 2, 4, 5, 6}), "1,2,4-6");
}

TEST(SimCommandLine, DefaultsMatchTheMastersDefaults) {
    const OptionsResult r = parse({"--link", "/tmp/line"});
    ASSERT_TRUE(r.options) << r.error;
    const SimOptions& o = *r.options;
    EXPECT_EQ(o.devices, std::vector<int>{1});
    EXPECT_EQ(o.checksumLength, 2);
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.bitsPerByte(), 11);  // 8E1
    EXPECT_EQ(o.byteTime().count(), 1'145'833);
    EXPECT_EQ(o.turnaroundMs, 5);
    EXPECT_TRUE(o.controlPath.empty());
}

TEST(SimCommandLine, ReadsEveryOption) {
    const OptionsResult r = parse({"--link",      "/tmp/l",
                                   "--devices",   "2-4",
                                   "--protocol",  "STD",
                                   "--baud=4800", "--format",
                                   "7o2",         "--turnaround",
                                   "0",           "--turnaround",
                                   "7:400",       "--seed",
                                   "99",          "--fault-timeout",
                                   "0.1",         "--fault-late=1",
                                   "--control",   "/tmp/c",
                                   "--verbose"});
    ASSERT_TRUE(r.options) << r.error;
    const SimOptions& o = *r.options;
    EXPECT_EQ(o.devices, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(o.checksumLength, 0);
    EXPECT_EQ(o.baud, 4800);
    EXPECT_EQ(o.bitsPerByte(), 11);  // 1 + 7 + 1 + 2
    EXPECT_EQ(o.turnaroundMs, 0);
    EXPECT_EQ(o.turnaroundFor(7), 400);
    EXPECT_EQ(o.turnaroundFor(2), 0);
    EXPECT_EQ(o.seed, 99U);
    EXPECT_DOUBLE_EQ(o.faultRates[static_cast<int>(Fault::Timeout)], 0.1);
    EXPECT_DOUBLE_EQ(o.faultRates[static_cast<int>(Fault::Late)], 1.0);
    EXPECT_EQ(o.controlPath, "/tmp/c");
    EXPECT_EQ(o.verbosity, SimOptions::Verbosity::Verbose);
    EXPECT_EQ(parse({"--link", "l", "--format", "8N1"}).options->bitsPerByte(), 10);
}

TEST(SimCommandLine, AnyProtocolTextButStdMeansChecksum) {
    EXPECT_EQ(parse({"--link", "l", "--protocol", "SUM"}).options->checksumLength, 2);
    EXPECT_EQ(parse({"--link", "l", "--protocol", "std"}).options->checksumLength, 2);
}

TEST(SimCommandLine, MistakesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--devices", "1"},
        {"--link"},
        {"--link", "l", "--devices", "0"},
        {"--link", "l", "--baud", "fast"},
        {"--link", "l", "--baud", "0"},
        {"--link", "l", "--format", "9E1"},
        {"--link", "l", "--format", "8X1"},
        {"--link", "l", "--format", "8E3"},
        {"--link", "l", "--turnaround", "-1"},
        {"--link", "l", "--turnaround", "100:5"},
        {"--link", "l", "--turnaround", "7:"},
        {"--link", "l", "--fault-ng", "2"},
        {"--link", "l", "--fault-smoke", "0.5"},
        {"--link", "l", "--colour", "red"},
        {"--link", "l", "stray"},
    };
    for (const auto& args : bad) {
        const OptionsResult r = parse(args);
        EXPECT_FALSE(r.options);
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_TRUE(parse({"--help"}).options->help);
}
