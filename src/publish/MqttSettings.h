#pragma once

#include <QString>
#include <QStringList>

#include <set>

namespace zr410 {

// Where and how one line publishes to the plant's MQTT broker (CFG/MQTT.INI). The file holds
// one "Key=Value" per line, CR LF, like the other settings files; unknown keys are kept out of
// the way and a value that cannot be read falls back to its default, so a hand-edited file
// never stops the program. Publishing is off until the file says "Enabled=Yes".
struct MqttSettings {
    bool Enabled = false;
    QString Host = QStringLiteral("localhost");
    int Port = 1883;
    QString ClientId;  // empty: derived from the machine and line names
    QString TopicPrefix = QStringLiteral("zr410");
    QString LineName = QStringLiteral("line1");
    QString User;
    QString PasswordFile;  // a file whose first line is the password; never the password itself
    QString CaFile;
    QString CertFile;
    QString KeyFile;
    int Qos = 1;
    int KeepAliveSeconds = 60;
    // Commands from the plant network: refused unless enabled here, TLS and a broker login are
    // set, and the allow-lists name the device and the command.
    bool CommandsEnabled = false;
    QString AllowDevices;   // "1,2,5-7"
    QString AllowCommands;  // "PWR,RUN,SV"

    static constexpr int kMinKeepAlive = 5;
    static constexpr int kMaxKeepAlive = 3600;

    bool UsesTls() const { return !CaFile.isEmpty(); }
    bool UsesLogin() const { return !User.isEmpty(); }
    // Topic levels: the prefix may hold several levels ("plant/hall2"), the line name one.
    QString LineTopic() const;  // <prefix>/<line>
    QString EffectiveClientId() const;
    // Device numbers and command names of the allow-lists (upper case); garbage is skipped.
    std::set<int> AllowedDevices() const;
    std::set<QString> AllowedCommands() const;
    // Why commands from the network are refused with these settings; empty when they are not.
    QString CommandsRefusedReason() const;
};

QString MqttSettingsPath();

// Settings from the file's lines; anything missing or unreadable keeps its default.
MqttSettings MqttSettingsFromLines(const QStringList& lines);
QStringList MqttSettingsLines(const MqttSettings& settings);

// A missing or unreadable file gives the defaults (publishing off).
MqttSettings LoadMqttSettings(const QString& path);
bool SaveMqttSettings(const QString& path, const MqttSettings& settings);

// A topic level that cannot break the topic tree: '/', '+', '#' and control characters become
// '_', and an empty level becomes "_".
QString TopicLevel(const QString& text);

// The command names the network may use, in the order of the operator's buttons, and "SV".
const QStringList& NetworkCommandNames();

}  // namespace zr410
