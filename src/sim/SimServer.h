#pragma once

#include <memory>
#include <string>
#include <vector>

#include <termios.h>

#include "sim/LinePacer.h"
#include "sim/SimBus.h"
#include "sim/SimControl.h"
#include "sim/SimOptions.h"
#include "sim/SimProtocol.h"

namespace zr410::sim {

// The simulator process: a pseudo-terminal published as a symbolic link, the control socket,
// and one poll loop that reads requests, paces replies onto the line and serves control
// clients. It never busy-waits: the loop sleeps until a descriptor is ready or the next reply
// byte is due.
class SimServer {
public:
    explicit SimServer(SimOptions options);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Sets everything up, prints the ready line and serves until SIGINT, SIGTERM, SIGHUP or a
    // "quit" on the control channel. Returns the process exit code.
    int run();

private:
    struct ControlClient {
        int fd = -1;
        std::string in;
        std::string out;
    };

    bool serveOnce();
    bool setUp(std::string& error);
    bool openLine(std::string& error);
    bool publishLink(std::string& error);
    bool openControl(std::string& error);
    void tearDown();

    void watchClients();
    void onClientOpenOrClose();
    void readLine(TimePoint now);
    void writeLine(TimePoint now);
    void acceptControl();
    void readControl(ControlClient& client, TimePoint now);
    void flushControl(ControlClient& client);
    void logLine(const std::string& text) const;

    SimOptions options_;
    TimePoint startedAt_;
    std::unique_ptr<SimBus> bus_;
    std::unique_ptr<SimControl> control_;
    RequestAssembler assembler_;
    LinePacer pacer_;
    int master_ = -1;
    int slave_ = -1;
    int signals_ = -1;
    int listener_ = -1;
    int slaveWatch_ = -1;
    int clientOpens_ = 0;
    std::string slaveName_;
    bool linkPublished_ = false;
    bool lineBlocked_ = false;
    bool stop_ = false;
    std::vector<ControlClient> clients_;
    termios rawTermios_{};
};

}  // namespace zr410::sim
