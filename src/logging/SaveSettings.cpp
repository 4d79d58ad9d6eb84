#include "logging/SaveSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

#include "common/NumberEntry.h"
#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

namespace zr410 {
namespace {

constexpr int kSaveSettingsLines = 5;

}  // namespace

qint64 SaveSettings::IntervalSeconds() const {
    return SaveUnit == QStringLiteral("분") ? qint64(SaveInterval) * 60 : qint64(SaveInterval);
}

QString SaveSettingsPath() {
    return InProgramFolder(QStringLiteral("CFG/SaveData.INI"));
}

SaveSettings DefaultSaveSettings() {
    SaveSettings settings;
    settings.SaveFolder = QDir::toNativeSeparators(ProgramFolder());
    return settings;
}

SaveSettings LoadSaveSettings(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    const auto texts = ReadSaveSettingsTexts(path);
    return texts ? SaveSettingsFromTexts(*texts) : DefaultSaveSettings();
}

bool WriteSaveSettings(const QString& path, const QStringList& texts) {
    QDir().mkpath(QFileInfo(path).path());
    // Always five lines: a shorter file would read back as all defaults.
    QStringList lines = texts.mid(0, kSaveSettingsLines);
    while (lines.size() < kSaveSettingsLines) {
        lines.append(QString());
    }
    return WriteSettingsLines(path, lines);
}

std::optional<QStringList> ReadSaveSettingsTexts(const QString& path) {
    const auto lines = ReadSettingsLines(path);
    return lines ? SaveSettingsTextsFromLines(*lines) : std::nullopt;
}

std::optional<QStringList> SaveSettingsTextsFromLines(const QStringList& lines) {
    if (lines.size() < kSaveSettingsLines) {
        return std::nullopt;
    }
    return lines.mid(0, kSaveSettingsLines);
}

SaveSettings SaveSettingsFromTexts(const QStringList& texts) {
    const auto text = [&](int line) { return line < texts.size() ? texts.at(line) : QString(); };
    SaveSettings settings;
    settings.SaveEnabled = text(0);
    const std::int64_t interval = RoundHalfEven(ParseLeadingNumber(QStringView(text(1))));
    settings.SaveInterval =
        static_cast<int>(std::clamp<std::int64_t>(interval, INT32_MIN, INT32_MAX));
    settings.SaveUnit = text(2);
    settings.SaveFolder = text(3);
    settings.SaveFileName = text(4);
    return settings;
}

QStringList SaveSettingsTexts(const SaveSettings& settings) {
    return {settings.SaveEnabled, QString::number(settings.SaveInterval), settings.SaveUnit,
            settings.SaveFolder, settings.SaveFileName};
}

QString ClampSaveIntervalText(const QString& text) {
    // A plain decimal number, blanks around it allowed; "5 min" or "1e2" is not one.
    static const QRegularExpression number(
        QStringLiteral("^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)[ \\t]*\\z"));
    const double value = ParseLeadingNumber(QStringView(text));
    if (!number.match(text).hasMatch() || value < kMinSaveInterval) {
        return QString::number(kMinSaveInterval);
    }
    if (value > kMaxSaveInterval) {
        return QString::number(kMaxSaveInterval);
    }
    return text;
}

}  // namespace zr410
