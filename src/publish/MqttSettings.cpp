#include "publish/MqttSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

namespace zr410 {
namespace {

bool YesNo(const QString& text, bool fallback) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("yes") || t == QLatin1String("1") || t == QLatin1String("true")) {
        return true;
    }
    if (t == QLatin1String("no") || t == QLatin1String("0") || t == QLatin1String("false")) {
        return false;
    }
    return fallback;
}

int Number(const QString& text, int low, int high, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

}  // namespace

const QStringList& NetworkCommandNames() {
    static const QStringList names = {
        QStringLiteral("PWR"),  QStringLiteral("RUN"),     QStringLiteral("AT"),
        QStringLiteral("PREH"), QStringLiteral("SUCTION"), QStringLiteral("COOL"),
        QStringLiteral("MOLD"), QStringLiteral("BUZZER"),  QStringLiteral("SV")};
    return names;
}

QString TopicLevel(const QString& text) {
    QString level = text.trimmed();
    for (QChar& c : level) {
        if (c == u'/' || c == u'+' || c == u'#' || c.unicode() < 0x20) {
            c = u'_';
        }
    }
    return level.isEmpty() ? QStringLiteral("_") : level;
}

QString MqttSettings::LineTopic() const {
    QStringList levels;
    for (const QString& level : TopicPrefix.split(u'/', Qt::SkipEmptyParts)) {
        levels << TopicLevel(level);
    }
    if (levels.isEmpty()) {
        levels << QStringLiteral("zr410");
    }
    levels << TopicLevel(LineName);
    return levels.join(u'/');
}

QString MqttSettings::EffectiveClientId() const {
    if (!ClientId.trimmed().isEmpty()) {
        return ClientId.trimmed();
    }
    return QStringLiteral("zr410-%1-%2").arg(QSysInfo::machineHostName(), TopicLevel(LineName));
}

std::set<int> MqttSettings::AllowedDevices() const {
    std::set<int> devices;
    for (const QString& part : AllowDevices.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(u'-');
        bool okLow = false;
        bool okHigh = false;
        const int low = ends.value(0).trimmed().toInt(&okLow);
        const int high = ends.size() == 2 ? ends.value(1).trimmed().toInt(&okHigh) : low;
        if (!okLow || (ends.size() == 2 && !okHigh) || ends.size() > 2) {
            continue;
        }
        for (int d = std::max(low, 1); d <= std::min(high, 99); ++d) {
            devices.insert(d);
        }
    }
    return devices;
}

std::set<QString> MqttSettings::AllowedCommands() const {
    std::set<QString> commands;
    for (const QString& part : AllowCommands.split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toUpper();
        if (NetworkCommandNames().contains(name)) {
            commands.insert(name);
        }
    }
    return commands;
}

QString MqttSettings::CommandsRefusedReason() const {
    if (!CommandsEnabled) {
        return QStringLiteral("commands are disabled on this line");
    }
    if (!UsesTls()) {
        return QStringLiteral("commands need TLS (CaFile)");
    }
    if (!UsesLogin() || PasswordFile.isEmpty()) {
        return QStringLiteral("commands need a broker login (User and PasswordFile)");
    }
    return {};
}

QString MqttSettingsPath() {
    return InProgramFolder(QStringLiteral("CFG/MQTT.INI"));
}

MqttSettings MqttSettingsFromLines(const QStringList& lines) {
    MqttSettings s;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0 || line.startsWith(u';') || line.startsWith(u'#')) {
            continue;
        }
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("enabled")) {
            s.Enabled = YesNo(value, s.Enabled);
        } else if (key == QLatin1String("host")) {
            s.Host = value.isEmpty() ? s.Host : value;
        } else if (key == QLatin1String("port")) {
            s.Port = Number(value, 1, 65535, s.Port);
        } else if (key == QLatin1String("clientid")) {
            s.ClientId = value;
        } else if (key == QLatin1String("topicprefix")) {
            s.TopicPrefix = value.isEmpty() ? s.TopicPrefix : value;
        } else if (key == QLatin1String("linename")) {
            s.LineName = value.isEmpty() ? s.LineName : value;
        } else if (key == QLatin1String("user")) {
            s.User = value;
        } else if (key == QLatin1String("passwordfile")) {
            s.PasswordFile = value;
        } else if (key == QLatin1String("cafile")) {
            s.CaFile = value;
        } else if (key == QLatin1String("certfile")) {
            s.CertFile = value;
        } else if (key == QLatin1String("keyfile")) {
            s.KeyFile = value;
        } else if (key == QLatin1String("qos")) {
            s.Qos = Number(value, 0, 2, s.Qos);
        } else if (key == QLatin1String("keepalive")) {
            s.KeepAliveSeconds = Number(value, MqttSettings::kMinKeepAlive,
                                        MqttSettings::kMaxKeepAlive, s.KeepAliveSeconds);
        } else if (key == QLatin1String("commands")) {
            s.CommandsEnabled = YesNo(value, s.CommandsEnabled);
        } else if (key == QLatin1String("allowdevices")) {
            s.AllowDevices = value;
        } else if (key == QLatin1String("allowcommands")) {
            s.AllowCommands = value;
        }
    }
    return s;
}

QStringList MqttSettingsLines(const MqttSettings& s) {
    auto yes = [](bool on) { return on ? QStringLiteral("Yes") : QStringLiteral("No"); };
    return {
        QStringLiteral("Enabled=") + yes(s.Enabled),
        QStringLiteral("Host=") + s.Host,
        QStringLiteral("Port=") + QString::number(s.Port),
        QStringLiteral("ClientId=") + s.ClientId,
        QStringLiteral("TopicPrefix=") + s.TopicPrefix,
        QStringLiteral("LineName=") + s.LineName,
        QStringLiteral("User=") + s.User,
        QStringLiteral("PasswordFile=") + s.PasswordFile,
        QStringLiteral("CaFile=") + s.CaFile,
        QStringLiteral("CertFile=") + s.CertFile,
        QStringLiteral("KeyFile=") + s.KeyFile,
        QStringLiteral("Qos=") + QString::number(s.Qos),
        QStringLiteral("KeepAlive=") + QString::number(s.KeepAliveSeconds),
        QStringLiteral("Commands=") + yes(s.CommandsEnabled),
        QStringLiteral("AllowDevices=") + s.AllowDevices,
        QStringLiteral("AllowCommands=") + s.AllowCommands,
    };
}

MqttSettings LoadMqttSettings(const QString& path) {
    const auto lines = ReadSettingsLines(path);
    return lines ? MqttSettingsFromLines(*lines) : MqttSettings{};
}

bool SaveMqttSettings(const QString& path, const MqttSettings& settings) {
    QDir().mkpath(QFileInfo(path).path());
    return WriteSettingsLines(path, MqttSettingsLines(settings));
}

}  // namespace zr410
