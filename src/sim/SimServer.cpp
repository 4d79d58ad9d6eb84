#include "sim/SimServer.h"

#include "protocol/FrameCodec.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

namespace zr410::sim {
namespace {

constexpr size_t kMaxControlLine = 4096;
constexpr size_t kMaxControlBacklog = 16 * 1024 * 1024;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void setFlags(int fd, int statusFlags) {
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (statusFlags != 0) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | statusFlags);
    }
}

timespec toTimespec(Duration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// A path we may replace at start: nothing there, or a leftover of the same kind.
bool clearStale(const std::string& path, mode_t kind, std::string& error) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return true;
    }
    if ((st.st_mode & S_IFMT) != kind) {
        error = path + " exists and is not a " + (kind == S_IFLNK ? "symbolic link" : "socket") +
                "; not replacing it";
        return false;
    }
    if (unlink(path.c_str()) != 0) {
        error = systemError("cannot remove stale " + path);
        return false;
    }
    return true;
}

}  // namespace

SimServer::SimServer(SimOptions options)
    : options_(std::move(options)), startedAt_(Clock::now()), pacer_(options_.byteTime()) {}

SimServer::~SimServer() {
    tearDown();
}

int SimServer::run() {
    std::string error;
    if (!setUp(error)) {
        std::fprintf(stderr, "zr410-sim: %s\n", error.c_str());
        tearDown();
        return 1;
    }
    std::printf("zr410-sim: serving devices %s on %s\n", FormatDeviceList(options_.devices).c_str(),
                options_.linkPath.c_str());
    std::fflush(stdout);

    while (!stop_ && serveOnce()) {
        // serveOnce() sleeps until there is something to do.
    }
    if (options_.verbosity != SimOptions::Verbosity::Quiet) {
        const SimBus::Counters& c = bus_->counters();
        std::fprintf(stderr, "zr410-sim: stopped after %llu requests, %llu replies\n",
                     static_cast<unsigned long long>(c.requests),
                     static_cast<unsigned long long>(c.replies));
    }
    tearDown();
    return 0;
}

// One round of the loop: sleep until a descriptor is ready or the next reply byte is due, then
// serve what is ready. False when the loop cannot go on.
bool SimServer::serveOnce() {
    enum : size_t { kSignals, kLine, kLineWatch, kListener };
    std::vector<pollfd> fds = {
        {signals_, POLLIN, 0},
        {master_, static_cast<short>(POLLIN | (lineBlocked_ ? POLLOUT : 0)), 0},
        {slaveWatch_, POLLIN, 0},
        {listener_, POLLIN, 0},  // ignored by poll while there is no control socket
    };
    for (const ControlClient& c : clients_) {
        fds.push_back({c.fd, static_cast<short>(POLLIN | (c.out.empty() ? 0 : POLLOUT)), 0});
    }
    timespec timeout{};
    const std::optional<TimePoint> due = lineBlocked_ ? std::nullopt : pacer_.nextDue();
    if (due) {
        timeout = toTimespec(std::max(*due - Clock::now(), Duration::zero()));
    }
    if (ppoll(fds.data(), fds.size(), due ? &timeout : nullptr, nullptr) < 0 && errno != EINTR) {
        std::fprintf(stderr, "zr410-sim: %s\n", systemError("poll").c_str());
        return false;
    }
    const TimePoint now = Clock::now();
    if (fds[kSignals].revents & POLLIN) {
        signalfd_siginfo info{};
        if (read(signals_, &info, sizeof info) > 0 &&
            options_.verbosity == SimOptions::Verbosity::Verbose) {
            logLine("stopping on signal " + std::to_string(info.ssi_signo));
        }
        return false;
    }
    if (fds[kLine].revents & POLLOUT) {
        lineBlocked_ = false;
    }
    if (fds[kLine].revents & POLLIN) {
        readLine(now);
    }
    if (fds[kLineWatch].revents & POLLIN) {
        onClientOpenOrClose();
    }
    writeLine(Clock::now());

    const size_t polled = std::min(fds.size() - (kListener + 1), clients_.size());
    for (size_t i = 0; i < polled; ++i) {
        const short revents = fds[kListener + 1 + i].revents;
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            readControl(clients_[i], now);
        }
        if ((revents & POLLOUT) && clients_[i].fd >= 0) {
            flushControl(clients_[i]);
        }
    }
    std::erase_if(clients_, [](const ControlClient& c) { return c.fd < 0; });
    if (fds[kListener].revents & POLLIN) {
        acceptControl();
    }
    return true;
}

bool SimServer::setUp(std::string& error) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signals_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signals_ < 0) {
        error = systemError("signalfd");
        return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    // Reply bytes are about a millisecond apart; the default 50 µs timer slack would add up.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);

    const TimePoint now = Clock::now();
    bus_ = std::make_unique<SimBus>(options_.devices, options_.checksumLength, options_.seed,
                                    CalendarTimeFromSystemClock(), now);
    for (int i = 0; i < kFaultCount; ++i) {
        bus_->faults().setRate(static_cast<Fault>(i), options_.faultRates[i]);
    }
    if (options_.verbosity == SimOptions::Verbosity::Verbose) {
        bus_->setLog([this](const std::string& line) { logLine(line); });
    }
    control_ = std::make_unique<SimControl>(*bus_);
    return openLine(error) && publishLink(error) && openControl(error);
}

bool SimServer::openLine(std::string& error) {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        error = systemError("openpty");
        return false;
    }
    setFlags(master_, O_NONBLOCK);
    setFlags(slave_, 0);
    // Raw mode on the slave: no echo, no line editing, no CR/LF translation. The slave stays
    // open here so the master sees no hang-up while the client closes and reopens the port.
    if (tcgetattr(slave_, &rawTermios_) == 0) {
        cfmakeraw(&rawTermios_);
        tcsetattr(slave_, TCSANOW, &rawTermios_);
    }
    char name[256] = {};
    if (ttyname_r(slave_, name, sizeof name) != 0) {
        error = "cannot name the pseudo-terminal";
        return false;
    }
    slaveName_ = name;
    watchClients();
    return true;
}

// Clients that open and close the line are seen through inotify on the slave device; the
// slave held open here is not counted, as it was opened before the watch began.
void SimServer::watchClients() {
    slaveWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (slaveWatch_ >= 0 &&
        inotify_add_watch(slaveWatch_, slaveName_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        close(slaveWatch_);
        slaveWatch_ = -1;
    }
}

// When the last client has closed the line, it is made fresh again for the next one. Termios
// settings outlive a client that dies without restoring them; Qt's serial port then fails to
// open the pty with "Invalid argument", because the pty drops the parity bit Qt asks for and
// Qt takes the unchanged settings for a refusal. Replies still queued for the departed client
// and its half-sent request are dropped too, and an exclusive-use lock it left is released.
void SimServer::onClientOpenOrClose() {
    alignas(inotify_event) char buffer[4096];
    bool closed = false;
    for (;;) {
        const ssize_t n = read(slaveWatch_, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                ++clientOpens_;
            } else if (event->mask & IN_CLOSE) {
                clientOpens_ = std::max(0, clientOpens_ - 1);
                closed = true;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (closed && clientOpens_ == 0) {
        tcsetattr(slave_, TCSANOW, &rawTermios_);
        ioctl(slave_, TIOCNXCL);
        tcflush(slave_, TCIOFLUSH);
        pacer_.clear();
        assembler_ = RequestAssembler();
        lineBlocked_ = false;
        if (options_.verbosity == SimOptions::Verbosity::Verbose) {
            logLine("line closed by its last client; settings reset");
        }
    }
}

bool SimServer::publishLink(std::string& error) {
    if (!clearStale(options_.linkPath, S_IFLNK, error)) {
        return false;
    }
    if (symlink(slaveName_.c_str(), options_.linkPath.c_str()) != 0) {
        error = systemError("cannot create link " + options_.linkPath);
        return false;
    }
    linkPublished_ = true;
    return true;
}

bool SimServer::openControl(std::string& error) {
    if (options_.controlPath.empty()) {
        return true;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (options_.controlPath.size() >= sizeof addr.sun_path) {
        error = "control socket path is too long: " + options_.controlPath;
        return false;
    }
    if (!clearStale(options_.controlPath, S_IFSOCK, error)) {
        return false;
    }
    std::memcpy(addr.sun_path, options_.controlPath.c_str(), options_.controlPath.size());
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener_, 16) != 0) {
        error = systemError("control socket " + options_.controlPath);
        if (listener_ >= 0) {
            close(listener_);
            listener_ = -1;
        }
        return false;
    }
    return true;
}

void SimServer::tearDown() {
    if (linkPublished_) {
        // Remove the link only while it is still ours; a newer simulator may have taken it.
        char target[256] = {};
        const ssize_t n = readlink(options_.linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && slaveName_ == std::string(target, static_cast<size_t>(n))) {
            unlink(options_.linkPath.c_str());
        }
        linkPublished_ = false;
    }
    if (listener_ >= 0) {
        close(listener_);
        listener_ = -1;
        unlink(options_.controlPath.c_str());
    }
    for (ControlClient& c : clients_) {
        if (c.fd >= 0) {
            close(c.fd);
        }
    }
    clients_.clear();
    for (int* fd : {&master_, &slave_, &signals_, &slaveWatch_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void SimServer::readLine(TimePoint now) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            return;  // EAGAIN: all read; EIO cannot happen while the slave is held open
        }
        for (ssize_t i = 0; i < n; ++i) {
            std::optional<RequestAssembler::Frame> frame = assembler_.feed(buffer[i], now);
            if (!frame) {
                continue;
            }
            if (!pacer_.idle()) {
                bus_->countOverlap();
                if (options_.verbosity == SimOptions::Verbosity::Verbose) {
                    logLine("request started while a reply was due: the frames would collide");
                }
            }
            std::optional<Transmission> reply = bus_->handle(frame->bytes, now);
            if (!reply) {
                continue;
            }
            // The request arrived at once over the pty; on a real line its last byte would
            // come a line time after the first, and the controller answers after that.
            const int turnaround = options_.turnaroundFor(ReplyAddress(frame->bytes).value_or(0));
            const TimePoint earliest = frame->started + pacer_.byteTime() * frame->bytes.size() +
                                       std::chrono::milliseconds(turnaround) + reply->lateBy;
            pacer_.enqueue(reply->bytes, earliest, reply->gaps);
        }
    }
}

void SimServer::writeLine(TimePoint now) {
    if (lineBlocked_) {
        return;
    }
    const QByteArray bytes = pacer_.due(now);
    if (bytes.isEmpty()) {
        return;
    }
    const ssize_t n = write(master_, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (n > 0) {
        pacer_.sent(static_cast<int>(n), now);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        lineBlocked_ = true;  // the client is not reading; wait until the pty takes bytes again
    } else {
        pacer_.sent(static_cast<int>(bytes.size()), now);  // nobody can receive them
    }
}

void SimServer::acceptControl() {
    for (;;) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        clients_.push_back({fd, {}, {}});
    }
}

void SimServer::readControl(ControlClient& client, TimePoint now) {
    char buffer[4096];
    bool closed = false;
    for (;;) {
        const ssize_t n = recv(client.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            client.in.append(buffer, static_cast<size_t>(n));
            continue;
        }
        closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
        break;
    }
    size_t start = 0;
    for (size_t eol; (eol = client.in.find('\n', start)) != std::string::npos; start = eol + 1) {
        const ControlReply reply =
            control_->execute(std::string_view(client.in).substr(start, eol - start), now);
        client.out += reply.text;
        if (reply.quit) {
            stop_ = true;
        }
    }
    client.in.erase(0, start);
    if (client.in.size() > kMaxControlLine) {
        client.in.clear();
        client.out += "error line too long\n";
    }
    flushControl(client);
    if (closed && client.fd >= 0) {
        close(client.fd);
        client.fd = -1;
    }
}

void SimServer::flushControl(ControlClient& client) {
    while (!client.out.empty() && client.fd >= 0) {
        const ssize_t n = send(client.fd, client.out.data(), client.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            client.out.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (client.out.size() > kMaxControlBacklog) {
                close(client.fd);  // a client that never reads its answers
                client.fd = -1;
            }
            return;
        }
        close(client.fd);
        client.fd = -1;
    }
}

void SimServer::logLine(const std::string& text) const {
    if (options_.verbosity == SimOptions::Verbosity::Quiet) {
        return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - startedAt_).count();
    std::fprintf(stderr, "%10.3f %s\n", seconds, text.c_str());
}

}  // namespace zr410::sim
