// What goes to the plant's broker, without a broker: the settings file read as an operator or
// a hand edit leaves it, the retained state document of a status reply, and the rules a command
// from the network must pass before it reaches the write slot.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include "ReplyFrames.h"
#include "TempFolder.h"
#include "common/SettingsText.h"
#include "engine/SharedState.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"
#include "publish/LinePublisher.h"
#include "publish/MqttPublisher.h"
#include "publish/MqttSettings.h"
#include "publish/StatePayload.h"

using namespace zr410;

TEST(MqttSettingsFile, HandEditedFileKeepsWhatItCanReadAndWritesBackTheSame) {
    TempProgramFolder folder;
    // Missing: publishing is off.
    EXPECT_FALSE(LoadMqttSettings(MqttSettingsPath()).Enabled);

    folder.write("CFG/MQTT.INI",
                 "; plant broker\r\nenabled = yes\r\nHost=broker.plant\r\n"
                 "Port=99999\r\nQos=7\r\nKeepAlive=abc\r\nLineName=사출 2/라인#\r\n"
                 "TopicPrefix=plant//hall+2\r\nno equals sign\r\n=value\r\n");
    const MqttSettings s = LoadMqttSettings(MqttSettingsPath());
    EXPECT_TRUE(s.Enabled);
    EXPECT_EQ(s.Host, "broker.plant");
    EXPECT_EQ(s.Port, 1883);  // out of range: the default
    EXPECT_EQ(s.Qos, 1);
    EXPECT_EQ(s.KeepAliveSeconds, 60);
    // Topic levels cannot be broken by what the operator typed.
    EXPECT_EQ(s.LineTopic(), "plant/hall_2/사출 2_라인_");

    ASSERT_TRUE(SaveMqttSettings(MqttSettingsPath(), s));
    const auto lines = ReadSettingsLines(MqttSettingsPath());
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(MqttSettingsLines(MqttSettingsFromLines(*lines)), MqttSettingsLines(s));
}

TEST(MqttSettingsFile, AllowListsAndTheConditionsForCommands) {
    MqttSettings s;
    s.AllowDevices = "1, 3-5,x,7-,0-0,98-120";
    s.AllowCommands = "run, sv ,fire,PWR";
    EXPECT_EQ(s.AllowedDevices(), (std::set<int>{1, 3, 4, 5, 98, 99}));
    EXPECT_EQ(s.AllowedCommands(), (std::set<QString>{"RUN", "SV", "PWR"}));

    EXPECT_FALSE(s.CommandsRefusedReason().isEmpty());  // not enabled
    s.CommandsEnabled = true;
    EXPECT_TRUE(s.CommandsRefusedReason().contains("TLS"));
    s.CaFile = "/etc/ssl/ca.pem";
    EXPECT_TRUE(s.CommandsRefusedReason().contains("login"));
    s.User = "line1";
    EXPECT_TRUE(s.CommandsRefusedReason().contains("login")) << "a user without a password file";
    s.PasswordFile = "/etc/zr410/password";
    EXPECT_TRUE(s.CommandsRefusedReason().isEmpty());
}

namespace {

// One controller's row after a status reply: mold 85.0 ℃ at one decimal, pressure 1.30 bar,
// running with the mold bit and the weekly reservation on, controller clock 2026-12-10 09:05:07.
struct DecodedRow : ::testing::Test {
    DecodedRow() {
        state.SetDeviceNumbers({7});
        table.resetRows({7});
        std::vector<int> values(kStatusList.size(), 0);
        auto set = [&](int address, int value) {
            values[PositionIn(kStatusList, address)] = value;
        };
        set(kRegDecimalPoint, 1);
        set(kRegTempUnit, 0);
        set(kRegMoldTemp, 850);
        set(kRegMoldTemp + 1, -5);
        set(kRegPressure, 130);
        set(kRegStatusWord,
            (1 << kBitRun) | (1 << kBitMold) | (1 << kBitWeeklyReservation) | (1 << kBitPower));
        set(kRegClockWeekday, 4);
        set(kRegClockWeekday + 1, 26);
        set(kRegClockWeekday + 2, 12);
        set(kRegClockWeekday + 3, 10);
        set(kRegClockWeekday + 4, 9);
        set(kRegClockWeekday + 5, 5);
        set(kRegClockWeekday + 6, 7);
        set(kRegSetValue, 900);
        set(kRegHeatOutput, 37);
        set(kRegFirstPhaseCurrent, 12);
        EXPECT_TRUE(decoders.DecodeStatusBlock(0, replies::read(7, values)));
    }
    SharedState state;
    ValueTable table;
    ErrorHistory errors;
    DeviceDecoders decoders{state, table, errors};
};

}  // namespace

TEST_F(DecodedRow, StateDocumentKeepsTheControllersDigitsUnitsBitsAndClock) {
    const QDateTime at(QDate(2026, 12, 10), QTime(9, 5, 8, 125), QTimeZone(9 * 3600));
    const QByteArray payload = StatePayload(table, 1, "사출 2", "양호", at);
    QJsonParseError error{};
    const QJsonObject doc = QJsonDocument::fromJson(payload, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << payload.constData();

    // Digits as the controller gave them, not re-formatted by a JSON library.
    EXPECT_TRUE(payload.contains("\"mold\":{\"value\":85.0,\"unit\":\"℃\"}"))
        << payload.constData();
    EXPECT_TRUE(payload.contains("\"medium\":{\"value\":-0.5,")) << payload.constData();
    EXPECT_TRUE(payload.contains("\"pressure\":{\"value\":1.30,\"unit\":\"bar\"}"));
    EXPECT_EQ(doc["sv"].toObject()["value"].toDouble(), 90.0);
    EXPECT_EQ(doc["device"].toInt(), 7);
    EXPECT_EQ(doc["line"].toString(), "사출 2");
    EXPECT_EQ(doc["time"].toString(), "2026-12-10T09:05:08.125+09:00");
    EXPECT_EQ(doc["link"].toString(), "양호");

    const QJsonObject status = doc["status"].toObject();
    EXPECT_TRUE(status["run"].toBool());
    EXPECT_TRUE(status["mold"].toBool());
    EXPECT_TRUE(status["power"].toBool());
    EXPECT_FALSE(status["cool"].toBool());
    EXPECT_TRUE(doc["reservation"].toObject()["weekly"].toBool());
    EXPECT_EQ(doc["output"].toObject()["heat"].toInt(), 37);
    EXPECT_EQ(doc["current"].toObject()["R"].toInt(), 12);
    EXPECT_EQ(doc["clock"].toObject()["time"].toString(), "2026-12-10T09:05:07");
    EXPECT_EQ(doc["clock"].toObject()["weekday"].toString(), "목");
}

TEST(StateDocument, TextsThatAreNoNumbersBecomeNullAndStringsAreEscaped) {
    EXPECT_EQ(JsonNumberText("--"), "null");
    EXPECT_EQ(JsonNumberText(""), "null");
    EXPECT_EQ(JsonNumberText("1e5"), "null");
    EXPECT_EQ(JsonNumberText("007"), "null");
    EXPECT_EQ(JsonNumberText("-0.50"), "-0.50");
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\u000a\\u0001\"");
}

TEST_F(DecodedRow, NetworkCommandsPassEveryRuleBeforeTheyReachTheWriteSlot) {
    MqttPublisher publisher;
    MqttSettings s;
    s.LineName = "L1";
    s.CommandsEnabled = true;
    s.AllowDevices = "7";
    s.AllowCommands = "RUN,SV";
    ASSERT_TRUE(publisher.start(s));  // not enabled: nothing connects, the settings are kept
    LinePublisher line(state, table, publisher);
    QStringList logged;
    line.Log = [&](const QString& text) { logged << text; };
    state.DeviceConnected[0] = true;

    // No TLS, no login: refused whatever the lists say.
    NetworkCommandResult r = line.onCommand("zr410/L1/07/cmd", "RUN");
    EXPECT_FALSE(r.accepted);
    EXPECT_TRUE(r.reason.contains("TLS"));
    EXPECT_EQ(state.PendingState, PollState::None);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].contains("zr410/L1/07/cmd")) << "every command is logged with its topic";

    s.CaFile = "/nonexistent/ca.pem";
    s.User = "line1";
    s.PasswordFile = "/nonexistent/password";
    s.Enabled = false;
    ASSERT_TRUE(publisher.start(s));

    EXPECT_TRUE(line.onCommand("zr410/L1/08/cmd", "RUN").reason.contains("not allowed"));
    EXPECT_TRUE(line.onCommand("zr410/L1/07/cmd", "PWR").reason.contains("not allowed"));
    EXPECT_TRUE(line.onCommand("zr410/L1/07/cmd", "SELF-DESTRUCT").reason.contains("unknown"));
    EXPECT_FALSE(
        line.onCommand("zr410/L1/07/cmd", "{\"command\":\"SV\",\"value\":\"abc\"}").accepted);
    EXPECT_EQ(state.PendingState, PollState::None);

    // Allowed: the write goes through the same slot as the operator's click, to device 7.
    r = line.onCommand("zr410/L1/07/cmd", "{\"command\":\"run\"}");
    EXPECT_TRUE(r.accepted) << r.reason.toStdString();
    EXPECT_EQ(state.PendingState, PollState::WriteOne);
    EXPECT_EQ(state.PendingRegisters, std::vector<int>{kCommandRegisters[1]});
    EXPECT_EQ(state.PendingTargetIndex, 0);

    // SV in the controller's own units: 72.25 ℃ at one decimal is 722 (halves to even).
    r = line.onCommand("zr410/L1/07/cmd", "SV 72.25");
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(state.PendingRegisters, std::vector<int>{kRegSetValue});
    EXPECT_EQ(state.PendingValues, std::vector<int>{722});
    EXPECT_FALSE(line.onCommand("zr410/L1/07/cmd", "SV 99999").accepted) << "beyond a word";

    state.PendingState = PollState::None;
    state.DeviceConnected[0] = false;
    EXPECT_TRUE(line.onCommand("zr410/L1/07/cmd", "RUN").reason.contains("not connected"));
    EXPECT_EQ(state.PendingState, PollState::None);
}
