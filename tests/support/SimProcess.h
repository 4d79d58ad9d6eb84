#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// Runs the controller simulator zr410-sim for an end-to-end test: a private link path and
// control socket in a temporary folder, the ready line awaited, the control channel at hand,
// and the process stopped (SIGTERM) when the object goes.
//
//   SimProcess sim({"--devices", "1,3", "--protocol", "SUM"});
//   ASSERT_TRUE(sim.isReady()) << sim.errorText();
//   port.open(sim.linkPath()); ...; EXPECT_EQ(sim.writes(), QStringList{"1 102 1"});
class SimProcess {
public:
    enum class Start { Now, Later };

    // extraArgs come after the link and control options (devices, protocol, faults, ...); a
    // --link or --control among them replaces the private path, and linkPath() and
    // controlPath() follow it.
    explicit SimProcess(const QStringList& extraArgs = {}, Start start = Start::Now);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the process and waits up to timeoutMs for its ready line.
    bool start(int timeoutMs = 5000);
    // SIGTERM and wait; true when it ended normally with exit code 0.
    bool stop(int timeoutMs = 3000);
    // SIGKILL, as a power cut or a crash ends it: no chance to finish a reply.
    void kill();

    bool isReady() const { return ready_; }
    QString errorText() const { return error_; }
    QString linkPath() const;
    QString controlPath() const;
    QByteArray readyLine() const { return readyLine_; }

    // One command on the control channel. command() gives the one-line answer; commandBlock()
    // gives the lines of a block answer without its "end" (or the single "error ..." line).
    // Both give nothing when the simulator does not answer within timeoutMs.
    QString command(const QString& line, int timeoutMs = 3000);
    QStringList commandBlock(const QString& line, int timeoutMs = 3000);

    QStringList writes();  // "DEV REG VALUE" per register write received
    bool clearWrites();
    bool setRegister(int device, int reg, int value);
    std::optional<int> getRegister(int device, int reg);
    bool setFault(const QString& name, double rate);
    bool setRunning(int device, bool on);

private:
    bool connectControl(int timeoutMs);
    std::optional<QByteArray> readLine(int timeoutMs);
    bool sendLine(const QString& line);

    QTemporaryDir dir_;
    QStringList extraArgs_;
    QString linkPath_;
    QString controlPath_;
    QProcess process_;
    bool ready_ = false;
    QString error_;
    QByteArray readyLine_;
    int control_ = -1;
    QByteArray received_;
};
