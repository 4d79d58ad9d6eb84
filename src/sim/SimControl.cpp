#include "sim/SimControl.h"

#include <charconv>
#include <optional>
#include <sstream>
#include <vector>

namespace zr410::sim {
namespace {

constexpr std::string_view kHelp =
    "  help                     this list\n"
    "  get DEV REG              register value as the master would read it (signed decimal)\n"
    "  set DEV REG VALUE        set a register (raw; 0x.. for hex); measured values\n"
    "                           (1-5, 16, 17, 19, 201, 202, 207-209) stay pinned until released;\n"
    "                           6 sets the status word, 101-108 a function, 8-14 the clock\n"
    "  release DEV REG|all      unpin measured values\n"
    "  run DEV 0|1              stop or start a controller\n"
    "  writes                   \"DEV REG VALUE\" per register write received, then \"end\"\n"
    "  clear-writes             forget the writes received\n"
    "  fault NAME RATE          NAME: timeout checksum ng split garbage late; RATE 0..1\n"
    "  faults                   current fault rates\n"
    "  protocol STD|SUM         switch the checksum off or on\n"
    "  stats                    requests, replies, ng, silent, overlaps (requests sent while\n"
    "                           a reply was due), per device, per fault\n"
    "  requests                 requests received per kind: WHO, DRR, DWR, invalid\n"
    "  clear-stats              reset the counters\n"
    "  devices                  served device numbers\n"
    "  quit                     end the simulator\n";

std::vector<std::string_view> tokens(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

std::optional<long> parseInteger(std::string_view text) {
    int base = 10;
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> parseRate(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0.0 ||
        value > 1.0) {
        return std::nullopt;
    }
    return value;
}

ControlReply error(std::string reason) {
    return {"error " + reason + "\n"};
}

ControlReply ok() {
    return {"ok\n"};
}

std::string block(const std::ostringstream& lines) {
    return lines.str() + "end\n";
}

}  // namespace

std::string_view SimControl::helpText() {
    return kHelp;
}

ControlReply SimControl::execute(std::string_view line, TimePoint now) {
    const std::vector<std::string_view> t = tokens(line);
    if (t.empty()) {
        return error("empty command");
    }
    const std::string_view cmd = t[0];
    const size_t args = t.size() - 1;

    // Commands that address one device: DEV is checked once, here.
    SimController* controller = nullptr;
    if (cmd == "get" || cmd == "set" || cmd == "release" || cmd == "run") {
        const size_t wanted = cmd == "set" ? 3 : 2;
        if (args != wanted) {
            return error("usage: " + std::string(cmd) +
                         (cmd == "set"       ? " DEV REG VALUE"
                          : cmd == "get"     ? " DEV REG"
                          : cmd == "release" ? " DEV REG|all"
                                             : " DEV 0|1"));
        }
        const std::optional<long> dev = parseInteger(t[1]);
        controller = dev && *dev >= 0 && *dev <= 99 ? bus_.device(static_cast<int>(*dev)) : nullptr;
        if (controller == nullptr) {
            return error("no such device: " + std::string(t[1]));
        }
    }
    std::optional<long> reg;
    if (cmd == "get" || cmd == "set" || (cmd == "release" && t[2] != "all")) {
        reg = parseInteger(t[2]);
        if (!reg || *reg < 0 || *reg > 9999) {
            return error("register must be 0..9999");
        }
    }

    if (cmd == "get") {
        controller->advance(now);
        return {std::to_string(controller->read(static_cast<int>(*reg))) + "\n"};
    }
    if (cmd == "set") {
        const std::optional<long> value = parseInteger(t[3]);
        if (!value || *value < -32768 || *value > 65535) {
            return error("value must be -32768..65535");
        }
        controller->force(static_cast<int>(*reg), static_cast<int>(*value), now);
        return ok();
    }
    if (cmd == "release") {
        if (reg) {
            controller->release(static_cast<int>(*reg));
        } else {
            controller->releaseAll();
        }
        return ok();
    }
    if (cmd == "run") {
        if (t[2] != "0" && t[2] != "1") {
            return error("usage: run DEV 0|1");
        }
        controller->setRunning(t[2] == "1", now);
        return ok();
    }
    if (cmd == "writes" && args == 0) {
        std::ostringstream out;
        for (const SimBus::WriteRecord& w : bus_.writes()) {
            out << w.device << ' ' << w.reg << ' ' << w.value << '\n';
        }
        return {block(out)};
    }
    if (cmd == "clear-writes" && args == 0) {
        bus_.clearWrites();
        return ok();
    }
    if (cmd == "fault") {
        if (args != 2) {
            return error("usage: fault NAME RATE");
        }
        const std::optional<Fault> fault = FaultFromName(t[1]);
        if (!fault) {
            return error("unknown fault: " + std::string(t[1]));
        }
        const std::optional<double> rate = parseRate(t[2]);
        if (!rate) {
            return error("rate must be 0..1");
        }
        bus_.faults().setRate(*fault, *rate);
        return ok();
    }
    if (cmd == "faults" && args == 0) {
        std::ostringstream out;
        for (int i = 0; i < kFaultCount; ++i) {
            out << kFaultNames[i] << ' ' << bus_.faults().rate(static_cast<Fault>(i)) << '\n';
        }
        return {block(out)};
    }
    if (cmd == "protocol" && args == 1) {
        bus_.setChecksumLength(t[1] == "STD" ? 0 : 2);
        return ok();
    }
    if (cmd == "stats" && args == 0) {
        const SimBus::Counters& c = bus_.counters();
        std::ostringstream out;
        out << "requests " << c.requests << "\nreplies " << c.replies << "\nng " << c.negative
            << "\nsilent " << c.silent << "\noverlaps " << c.overlaps << '\n';
        for (const auto& [device, count] : c.perDevice) {
            out << "device " << device << ' ' << count << '\n';
        }
        for (int i = 0; i < kFaultCount; ++i) {
            out << "fault " << kFaultNames[i] << ' ' << c.faults[i] << '\n';
        }
        return {block(out)};
    }
    if (cmd == "requests" && args == 0) {
        const auto& k = bus_.counters().perKind;
        std::ostringstream out;
        out << "WHO " << k[0] << "\nDRR " << k[1] << "\nDWR " << k[2] << "\ninvalid " << k[3]
            << '\n';
        return {block(out)};
    }
    if (cmd == "clear-stats" && args == 0) {
        bus_.clearCounters();
        return ok();
    }
    if (cmd == "devices" && args == 0) {
        std::string out;
        for (int number : bus_.deviceNumbers()) {
            out += (out.empty() ? "" : ",") + std::to_string(number);
        }
        return {out + "\n"};
    }
    if (cmd == "help") {
        return {std::string(kHelp) + "end\n"};
    }
    if (cmd == "quit" && args == 0) {
        return {"ok\n", true};
    }
    std::string shown(cmd.substr(0, 40));
    for (char& c : shown) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return error("unknown command or wrong arguments: " + shown);
}

}  // namespace zr410::sim
