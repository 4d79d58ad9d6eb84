#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/FaultInjector.h"

namespace zr410::sim {

struct SimOptions {
    enum class Verbosity { Quiet, Normal, Verbose };

    std::string linkPath;
    std::string controlPath;  // empty: no control channel
    std::vector<int> devices{1};
    std::string protocol = "SUM";
    int checksumLength = 2;
    int baud = 9600;
    int dataBits = 8;
    char parity = 'E';
    int stopBits = 1;
    int turnaroundMs = 5;
    std::map<int, int> deviceTurnaroundMs;  // devices that answer slower (or faster)
    std::uint64_t seed = 1;
    std::array<double, kFaultCount> faultRates{};
    Verbosity verbosity = Verbosity::Normal;
    bool help = false;
    bool version = false;

    // Start bit, data bits, parity bit if any, stop bits: 11 for 8E1.
    int bitsPerByte() const;
    int turnaroundFor(int device) const;
    std::chrono::nanoseconds byteTime() const;
};

struct OptionsResult {
    std::optional<SimOptions> options;
    std::string error;
};

// args without the program name.
OptionsResult ParseCommandLine(std::span<const std::string> args);

// "1-5,7" -> 1 2 3 4 5 7; sorted, duplicates merged, each 1..99.
std::optional<std::vector<int>> ParseDeviceList(std::string_view text);
// The reverse, with runs of three or more written as ranges: 1-5,7.
std::string FormatDeviceList(const std::vector<int>& devices);

std::string UsageText();

}  // namespace zr410::sim
