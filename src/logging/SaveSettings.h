#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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

// The five lines of the file exactly as they stand, for the dialog to show; std::nullopt when
// the file is missing, unreadable or has fewer than five lines.
std::optional<QStringList> ReadSaveSettingsTexts(const QString& path);
std::optional<QStringList> SaveSettingsTextsFromLines(const QStringList& lines);

// The settings the five texts stand for: enable text, interval (its leading number rounded
// halves to even, so "2.5" gives 2), unit, folder and base name. Missing texts read as empty.
SaveSettings SaveSettingsFromTexts(const QStringList& texts);

// The five texts that show settings in the dialog and in the file, the interval as a number.
QStringList SaveSettingsTexts(const SaveSettings& settings);

// The interval box's rule, for seconds and minutes alike: text that is not a number or is
// below 1 becomes "1", then a value above 60 becomes "60"; anything else stays as typed
// (so "2.5" stays "2.5").
inline constexpr int kMinSaveInterval = 1;
inline constexpr int kMaxSaveInterval = 60;
QString ClampSaveIntervalText(const QString& text);

}  // namespace zr410
