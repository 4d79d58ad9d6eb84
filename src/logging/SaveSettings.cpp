#include "logging/SaveSettings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>

#include "common/NumberEntry.h"
#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

namespace zr410 {

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
    const auto lines = ReadSettingsLines(path);
    if (!lines || lines->size() < 5) {
        return DefaultSaveSettings();
    }
    SaveSettings settings;
    settings.SaveEnabled = lines->at(0);
    const std::int64_t interval = RoundHalfEven(ParseLeadingNumber(QStringView(lines->at(1))));
    settings.SaveInterval =
        static_cast<int>(std::clamp<std::int64_t>(interval, INT32_MIN, INT32_MAX));
    settings.SaveUnit = lines->at(2);
    settings.SaveFolder = lines->at(3);
    settings.SaveFileName = lines->at(4);
    return settings;
}

bool WriteSaveSettings(const QString& path, const QStringList& texts) {
    QDir().mkpath(QFileInfo(path).path());
    return WriteSettingsLines(path, texts.mid(0, 5));
}

}  // namespace zr410
