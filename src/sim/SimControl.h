#pragma once

#include <string>
#include <string_view>

#include "sim/SimBus.h"

// The simulator's control channel: a line protocol through which tests and technicians read
// and change the simulated controllers while the master talks to them.
//
// Each command is one line; each answer is one line, or a block of lines ended by "end".
// Commands without a value answer "ok"; anything wrong answers "error <reason>".
//
//   help                      the command list, then "end"
//   get DEV REG               the register's value as the controller reports it (signed decimal)
//   set DEV REG VALUE         set a register (decimal, or hex as 0x..); measured values
//                             (1-5, 16, 17, 19, 201, 202, 207-209) stay pinned until released,
//                             6 sets the status word, 101-108 a function (0/1), 8-14 the clock
//   release DEV REG|all       unpin measured values
//   run DEV 0|1               stop or start the controller (start also switches power on)
//   writes                    "DEV REG VALUE" per register write received, then "end"
//   clear-writes              forget the writes received so far
//   fault NAME RATE           set a fault rate 0..1; NAME: timeout checksum ng split garbage late
//   faults                    "NAME RATE" per fault, then "end"
//   protocol STD|SUM          switch the checksum off (STD) or on (anything else)
//   stats                     counters, then "end": requests, replies, ng, silent,
//                             "device DD N" per device number seen, "fault NAME N" per fault
//   requests                  "WHO N", "DRR N", "DWR N", "invalid N", then "end"
//   clear-stats               reset the counters of stats and requests
//   devices                   the served device numbers, comma-separated
//   quit                      answer "ok" and end the simulator
namespace zr410::sim {

struct ControlReply {
    std::string text;  // one or more lines, each ended by '\n'
    bool quit = false;
};

class SimControl {
public:
    explicit SimControl(SimBus& bus) : bus_(bus) {}

    ControlReply execute(std::string_view line, TimePoint now);

    static std::string_view helpText();

private:
    SimBus& bus_;
};

}  // namespace zr410::sim
