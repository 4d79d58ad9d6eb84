#include "sim/SimOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "sim/SimControl.h"

namespace zr410::sim {
namespace {

template <typename T>
std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool parseFormat(std::string_view text, SimOptions& o) {
    if (text.size() != 3) {
        return false;
    }
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
    if (text[0] < '5' || text[0] > '8' || (parity != 'N' && parity != 'E' && parity != 'O') ||
        (text[2] != '1' && text[2] != '2')) {
        return false;
    }
    o.dataBits = text[0] - '0';
    o.parity = parity;
    o.stopBits = text[2] - '0';
    return true;
}

}  // namespace

int SimOptions::turnaroundFor(int device) const {
    const auto it = deviceTurnaroundMs.find(device);
    return it == deviceTurnaroundMs.end() ? turnaroundMs : it->second;
}

int SimOptions::bitsPerByte() const {
    return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
}

std::chrono::nanoseconds SimOptions::byteTime() const {
    return std::chrono::nanoseconds(1'000'000'000LL * bitsPerByte() / std::max(baud, 1));
}

std::optional<std::vector<int>> ParseDeviceList(std::string_view text) {
    std::vector<int> devices;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty()) {
            return std::nullopt;  // trailing comma
        }
        const size_t dash = item.find('-');
        const std::optional<int> first = parseNumber<int>(item.substr(0, dash));
        const std::optional<int> last =
            dash == std::string_view::npos ? first : parseNumber<int>(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last > 99 || *first > *last) {
            return std::nullopt;
        }
        for (int d = *first; d <= *last; ++d) {
            devices.push_back(d);
        }
    }
    if (devices.empty()) {
        return std::nullopt;
    }
    std::sort(devices.begin(), devices.end());
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

std::string FormatDeviceList(const std::vector<int>& devices) {
    std::string out;
    for (size_t i = 0; i < devices.size();) {
        size_t j = i;
        while (j + 1 < devices.size() && devices[j + 1] == devices[j] + 1) {
            ++j;
        }
        if (!out.empty()) {
            out += ',';
        }
        out += std::to_string(devices[i]);
        if (j - i >= 2) {
            out += '-' + std::to_string(devices[j]);
        } else if (j == i + 1) {
            out += ',' + std::to_string(devices[j]);
        }
        i = j + 1;
    }
    return out;
}

OptionsResult ParseCommandLine(std::span<const std::string> args) {
    SimOptions o;
    auto fail = [](std::string message) { return OptionsResult{std::nullopt, std::move(message)}; };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--version") {
            o.version = true;
            continue;
        }
        if (name == "--quiet" || name == "--verbose") {
            o.verbosity =
                name == "--quiet" ? SimOptions::Verbosity::Quiet : SimOptions::Verbosity::Verbose;
            continue;
        }
        if (!name.starts_with("--")) {
            return fail("unexpected argument: " + name);
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return fail(name + " needs a value");
        }

        if (name == "--link") {
            o.linkPath = value;
        } else if (name == "--control") {
            o.controlPath = value;
        } else if (name == "--devices") {
            const auto devices = ParseDeviceList(value);
            if (!devices) {
                return fail("--devices: expected numbers 1..99 and ranges, like 1-5,7");
            }
            o.devices = *devices;
        } else if (name == "--protocol") {
            o.protocol = value;
            o.checksumLength = value == "STD" ? 0 : 2;
        } else if (name == "--baud") {
            const auto baud = parseNumber<int>(value);
            if (!baud || *baud < 50 || *baud > 4'000'000) {
                return fail("--baud: expected a rate from 50 to 4000000");
            }
            o.baud = *baud;
        } else if (name == "--format") {
            if (!parseFormat(value, o)) {
                return fail(
                    "--format: expected data bits 5..8, parity N/E/O, stop bits 1/2, like 8E1");
            }
        } else if (name == "--turnaround") {
            // MS for every device, or DEV:MS for one device (the option may repeat).
            const size_t colon = value.find(':');
            const bool oneDevice = colon != std::string::npos;
            const auto ms = parseNumber<int>(oneDevice ? value.substr(colon + 1) : value);
            const int device = oneDevice ? parseNumber<int>(value.substr(0, colon)).value_or(0) : 0;
            if (!ms || *ms < 0 || *ms > 60'000 || (oneDevice && (device < 1 || device > 99))) {
                return fail("--turnaround: expected milliseconds 0..60000, or DEV:MS");
            }
            if (oneDevice) {
                o.deviceTurnaroundMs[device] = *ms;
            } else {
                o.turnaroundMs = *ms;
            }
        } else if (name == "--seed") {
            const auto seed = parseNumber<std::uint64_t>(value);
            if (!seed) {
                return fail("--seed: expected a non-negative integer");
            }
            o.seed = *seed;
        } else if (name.starts_with("--fault-")) {
            const auto fault = FaultFromName(std::string_view(name).substr(8));
            const auto rate = parseNumber<double>(value);
            if (!fault) {
                return fail("unknown option: " + name);
            }
            if (!rate || !(*rate >= 0.0 && *rate <= 1.0)) {
                return fail(name + ": expected a rate from 0 to 1");
            }
            o.faultRates[static_cast<int>(*fault)] = *rate;
        } else {
            return fail("unknown option: " + name);
        }
    }
    if (!o.help && !o.version && o.linkPath.empty()) {
        return fail("--link PATH is required");
    }
    return {o, {}};
}

std::string UsageText() {
    std::string text =
        "Usage: zr410-sim --link PATH [options]\n"
        "Simulates ZR410 mold temperature controllers on a pseudo-terminal, published as a\n"
        "symbolic link at PATH for the monitoring program to open as its serial port.\n"
        "\n"
        "Options:\n"
        "  --link PATH          where to publish the line (a stale link is replaced)\n"
        "  --devices LIST       device numbers served, like 1,3,7 or 1-5,7 (default 1)\n"
        "  --protocol STD|SUM   STD: no checksum; anything else: 2-digit checksum (default SUM)\n"
        "  --baud N             line speed for pacing the replies (default 9600)\n"
        "  --format DPS         data bits, parity N/E/O, stop bits (default 8E1)\n"
        "  --turnaround MS      pause between the end of a request and its reply (default 5)\n"
        "  --turnaround DEV:MS  the same for one device (repeatable), e.g. a slow 7:400\n"
        "  --seed N             seed of the fault and noise generators (default 1)\n"
        "  --fault-timeout R    rate 0..1 of requests left unanswered\n"
        "  --fault-checksum R   rate of replies with a wrong checksum (SUM only)\n"
        "  --fault-ng R         rate of negative replies\n"
        "  --fault-split R      rate of replies sent in 2-3 pieces with 50-150 ms pauses\n"
        "  --fault-garbage R    rate of replies preceded by noise bytes\n"
        "  --fault-late R       rate of replies sent 700-900 ms late\n"
        "  --control PATH       UNIX socket for the control channel (below)\n"
        "  --quiet              print nothing but the ready line and errors\n"
        "  --verbose            log every frame on stderr\n"
        "  --help               this text\n"
        "  --version            the version\n"
        "\n"
        "When ready it prints \"zr410-sim: serving devices LIST on PATH\".\n"
        "\n"
        "Control channel: one command per line; the answer is one line, or lines ended by "
        "\"end\".\n"
        "Commands without a value answer \"ok\", mistakes \"error REASON\".\n";
    text += SimControl::helpText();
    return text;
}

}  // namespace zr410::sim
