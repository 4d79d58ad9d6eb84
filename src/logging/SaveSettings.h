#pragma once

#include <QString>
#include <QStringList>

namespace zr410 {

// Whether, how often, where and under which base name data records are saved
// (CFG/SaveData.INI: five lines, CR LF, CP949 for the Korean unit words).
struct SaveSettings {
    QString SaveEnabled = QStringLiteral("No");  // logging is on only for exactly "Yes"
    int SaveInterval = 1;
    QString SaveUnit = QStringLiteral("분");  // "분" means minutes, anything else seconds
    QString SaveFolder;                       // defaults to the program folder
    QString SaveFileName = QStringLiteral("ZR410");

    bool Enabled() const { return SaveEnabled == QLatin1String("Yes"); }
    qint64 IntervalSeconds() const;
};

QString SaveSettingsPath();
SaveSettings DefaultSaveSettings();

// Reads the five lines; a missing, short or unreadable file gives all defaults. The interval
// is the leading number of its line, rounded halves to even. Creates the CFG folder.
SaveSettings LoadSaveSettings(const QString& path);

// Writes the five texts as they stand in the dialog (the interval as typed).
bool WriteSaveSettings(const QString& path, const QStringList& texts);

}  // namespace zr410
