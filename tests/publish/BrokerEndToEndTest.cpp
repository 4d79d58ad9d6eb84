// One line against Debian's mosquitto and zr410-sim: retained state after a poll cycle, the
// broker going away and coming back without the poll cycle noticing, the last will of a killed
// service and the clean stop of a terminated one, and commands refused or accepted by TLS, login
// and the allow-lists.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>

#include "Broker.h"
#include "SelectionFile.h"
#include "SimProcess.h"
#include "TempFolder.h"
#include "publish/LineService.h"

using namespace zr410;

namespace {

QByteArray CommFile(const SimProcess& sim) {
    return sim.linkPath().toUtf8() + "\r\n115200\r\nE\r\n8\r\n1\r\nSUM\r\n";
}

QByteArray MqttFile(int port, const QByteArray& extra = {}) {
    return "Enabled=Yes\r\nHost=127.0.0.1\r\nPort=" + QByteArray::number(port) +
           "\r\nLineName=L1\r\nKeepAlive=5\r\n" + extra;
}

// Status replies decoded while the Qt loop runs for ms milliseconds.
int CompleteRepliesDuring(LineService& service, int ms) {
    int count = 0;
    const auto c = QObject::connect(&service.Decoders(), &DeviceDecoders::statusComplete,
                                    [&count](int) { ++count; });
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QObject::disconnect(c);
    return count;
}

bool RunTool(const QString& program, const QStringList& args, const QString& dir) {
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class LineOnBroker : public ::testing::Test {
protected:
    void SetUp() override {
        if (Broker::program().isEmpty()) {
            GTEST_SKIP() << "mosquitto is not installed (scripts/setup.sh installs it)";
        }
        ASSERT_TRUE(sim.isReady()) << sim.errorText().toStdString();
        folder.write("Comm.CFG", CommFile(sim));
        folder.write("CFG/SetMulti.INI", SelectionFileServing({1, 2}));
    }

    SimProcess sim{{"--devices", "1,2", "--protocol", "SUM", "--baud", "115200"}};
    TempProgramFolder folder;
};

}  // namespace

TEST_F(LineOnBroker, RetainedStateSurvivesTheBrokerGoingAwayWithoutSlowingThePollCycle) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.output().constData();
    ASSERT_TRUE(sim.setRegister(1, 115, 777));
    folder.write(
        "CFG/MQTT.INI",
        MqttFile(broker.port(), "Commands=Yes\r\nAllowDevices=1\r\nAllowCommands=RUN\r\n"));
    Subscriber early(broker.port(), "zr410/L1/#");
    LineService service;
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(early.waitForTopic("zr410/L1/01/state", 10000)) << "no state after a poll cycle";

    // A subscriber arriving later gets the retained documents at once.
    Subscriber late(broker.port(), "zr410/L1/#");
    const auto state = late.waitFor(
        [](const Received& r) { return r.topic == "zr410/L1/01/state" && r.retained; }, 3000);
    ASSERT_TRUE(state);
    const QJsonObject doc = QJsonDocument::fromJson(state->payload).object();
    EXPECT_EQ(doc["sv"].toObject()["value"].toDouble(), 77.7) << state->payload.constData();
    EXPECT_EQ(doc["device"].toInt(), 1);
    const auto online = late.waitForTopic("zr410/L1/online", 3000);
    ASSERT_TRUE(online);
    EXPECT_TRUE(online->retained);
    EXPECT_EQ(online->payload, "true");
    const auto link = late.waitForTopic("zr410/L1/02/link", 3000);
    ASSERT_TRUE(link);
    EXPECT_EQ(QString::fromUtf8(link->payload), "양호");

    // Commands were asked for, but without TLS and a login they are answered, not applied.
    ASSERT_TRUE(sim.clearWrites());
    const size_t before = early.count();
    early.publish("zr410/L1/01/cmd", "RUN");
    const auto answer = early.waitForTopic("zr410/L1/01/cmd/result", 5000, before);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->payload.contains("\"accepted\":false")) << answer->payload.constData();
    EXPECT_TRUE(answer->payload.contains("TLS"));
    CompleteRepliesDuring(service, 500);
    EXPECT_TRUE(sim.writes().isEmpty());

    // The broker goes away: the poll cycle keeps its pace (each reply is gathered for 200 ms,
    // so two controllers give about three and a half replies a second).
    const int up = CompleteRepliesDuring(service, 4000);
    broker.stop();
    const int down = CompleteRepliesDuring(service, 4000);
    EXPECT_GE(up, 8);
    EXPECT_GE(down * 4, up * 3) << "up " << up << ", down " << down;
    EXPECT_NE(service.Publisher().connection(), MqttPublisher::Connection::Connected);

    // It comes back empty (no persistence): the line reconnects and the state is there again.
    ASSERT_TRUE(broker.start());
    Subscriber after(broker.port(), "zr410/L1/#");
    EXPECT_TRUE(after.waitForTopic("zr410/L1/01/state", 20000))
        << "no state after the broker returned";
    EXPECT_TRUE(after.waitFor(
        [](const Received& r) { return r.topic == "zr410/L1/01/link" && r.payload == "양호"; },
        5000))
        << "the link state is published again to a new broker session";
    EXPECT_EQ(service.Publisher().connection(), MqttPublisher::Connection::Connected);
}

TEST_F(LineOnBroker, TheServiceSaysOffLineOnAStopAndTheBrokerSaysItWhenTheServiceIsKilled) {
    Broker broker;
    ASSERT_TRUE(broker.start());
    folder.write("CFG/MQTT.INI", MqttFile(broker.port()));
    Subscriber watcher(broker.port(), "zr410/L1/online");
    const QString program = QStringLiteral(ZR410_BIN_DIR "/zr410-lined");

    QProcess service;
    service.setProcessChannelMode(QProcess::MergedChannels);
    service.start(program, {folder.path()});
    ASSERT_TRUE(watcher.waitFor([](const Received& r) { return r.payload == "true"; }, 10000));
    size_t mark = watcher.count();
    ::kill(static_cast<pid_t>(service.processId()), SIGTERM);
    ASSERT_TRUE(service.waitForFinished(5000));
    EXPECT_EQ(service.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(service.exitCode(), 0) << service.readAll().constData();
    EXPECT_TRUE(
        watcher.waitFor([](const Received& r) { return r.payload == "false"; }, 3000, mark));

    service.start(program, {folder.path()});
    mark = watcher.count();
    ASSERT_TRUE(
        watcher.waitFor([](const Received& r) { return r.payload == "true"; }, 10000, mark));
    mark = watcher.count();
    service.kill();
    service.waitForFinished(3000);
    EXPECT_TRUE(watcher.waitFor([](const Received& r) { return r.payload == "false"; }, 5000, mark))
        << "the last will was not delivered";
}

TEST_F(LineOnBroker, CommandsWithTlsAndALoginReachOnlyTheAllowedController) {
    Broker probe;  // for its scratch folder
    const QString dir = probe.dir();
    const QString openssl = QStandardPaths::findExecutable("openssl");
    const QString passwd = QStandardPaths::findExecutable("mosquitto_passwd");
    if (openssl.isEmpty() || passwd.isEmpty()) {
        GTEST_SKIP() << "openssl or mosquitto_passwd missing";
    }
    ASSERT_TRUE(RunTool(openssl,
                        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key",
                         "-out", "ca.crt", "-days", "2", "-subj", "/CN=zr410 test CA"},
                        dir));
    ASSERT_TRUE(RunTool(openssl,
                        {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out",
                         "server.csr", "-subj", "/CN=localhost"},
                        dir));
    ASSERT_TRUE(RunTool(openssl,
                        {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                         "-CAcreateserial", "-out", "server.crt", "-days", "2"},
                        dir));
    ASSERT_TRUE(RunTool(passwd, {"-c", "-b", "passwd", "line1", "secret"}, dir));
    ASSERT_TRUE(RunTool(passwd, {"-b", "passwd", "plant", "scada"}, dir));
    QFile pw(dir + "/line1.pw");
    ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
    pw.write("secret\n");
    pw.close();

    // A broker run as root drops to the mosquitto user unless told to stay.
    const QString stay = ::geteuid() == 0 ? QStringLiteral("user root\n") : QString();
    Broker broker(
        QStringLiteral("%1allow_anonymous false\npassword_file %2/passwd\n"
                       "cafile %2/ca.crt\ncertfile %2/server.crt\nkeyfile %2/server.key\n")
            .arg(stay, dir),
        QStringLiteral("localhost"));
    ASSERT_TRUE(broker.start()) << broker.output().constData();
    folder.write("CFG/MQTT.INI",
                 "Enabled=Yes\r\nHost=localhost\r\nPort=" + QByteArray::number(broker.port()) +
                     "\r\nLineName=L1\r\nUser=line1\r\nPasswordFile=" + dir.toUtf8() +
                     "/line1.pw\r\nCaFile=" + dir.toUtf8() +
                     "/ca.crt\r\nCommands=Yes\r\nAllowDevices=1\r\nAllowCommands=RUN,SV\r\n");
    Subscriber plant(broker.port(), "zr410/L1/#", {dir + "/ca.crt", "plant", "scada"});
    LineService service;
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(plant.waitForTopic("zr410/L1/02/state", 15000))
        << "nothing published over TLS with the login";
    ASSERT_TRUE(sim.clearWrites());

    size_t mark = plant.count();
    plant.publish("zr410/L1/01/cmd", "{\"command\":\"RUN\"}");
    auto answer = plant.waitForTopic("zr410/L1/01/cmd/result", 5000, mark);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->payload.contains("\"accepted\":true")) << answer->payload.constData();

    mark = plant.count();
    plant.publish("zr410/L1/02/cmd", "RUN");
    answer = plant.waitForTopic("zr410/L1/02/cmd/result", 5000, mark);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->payload.contains("not allowed")) << answer->payload.constData();

    CompleteRepliesDuring(service, 1500);
    EXPECT_EQ(sim.writes(), QStringList{"1 102 1"});
}
