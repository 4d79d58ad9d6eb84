// zr410-sim: simulated ZR410 controllers on a pseudo-terminal. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "common/BuildInfo.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const zr410::sim::OptionsResult parsed = zr410::sim::ParseCommandLine(args);
    if (!parsed.options) {
        std::fprintf(stderr, "zr410-sim: %s\nTry zr410-sim --help.\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(zr410::sim::UsageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options->version) {
        std::printf("zr410-sim %s\n", zr410::kVersion);
        return 0;
    }
    zr410::sim::SimServer server(*parsed.options);
    return server.run();
}
