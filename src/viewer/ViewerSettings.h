#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace zr410 {

// The viewer's four settings files live in its program folder. All are text, CR LF ended,
// CP949 where a character needs it (else UTF-8), and are read in either encoding.
//
//   Folder.CFG       one line: the data folder's full path.
//   ChartColor.CFG   six lines "c,colour": series c (1..6) and its colour as the decimal value
//                    of 0x00BBGGRR, e.g. "1,255" for red.
//   UseItem.CFG      six lines "c,text": the on/off cell of series c, "1" shown, "0" hidden.
//   PrintMargin.CFG  four lines "c,text": the margin cell c in millimetres as typed,
//                    1 Top, 2 Bottom, 3 Left, 4 Right.
//
// A missing, unreadable or malformed file reads as absent (std::nullopt) and the caller keeps
// its designed contents; the ...FromLines readers take the file's decoded lines. Blank lines are
// ignored; a line without a comma or with a column outside the grid makes the file malformed.
// Writes replace a file whole, or leave it as it was.

inline constexpr int kSeriesCount = 6;
inline constexpr int kMarginCount = 4;

QString ViewerSettingsPath(const QString& fileName);

// Folder.CFG: the first line; absent when missing, unreadable or empty.
std::optional<QString> LoadFolderSetting();
std::optional<QString> FolderSettingFromLines(const QStringList& lines);
bool SaveFolderSetting(const QString& folder);

// Colour values as the settings files and the colour grid keep them: 0x00BBGGRR.
struct RgbParts {
    int red = 0;
    int green = 0;
    int blue = 0;
};
RgbParts SplitColour(std::int64_t value);
std::int64_t ColourValue(const QColor& colour);
QColor ColourFromValue(std::int64_t value);

using SeriesColours = std::array<QColor, kSeriesCount>;

// ChartColor.CFG over the given starting colours (series without a line keep theirs).
std::optional<SeriesColours> LoadChartColours(const SeriesColours& start);
std::optional<SeriesColours> ChartColoursFromLines(const QStringList& lines,
                                                   const SeriesColours& start);
bool SaveChartColours(const SeriesColours& colours);

// UseItem.CFG: the on/off cell texts of the six series.
using SeriesSelection = std::array<QString, kSeriesCount>;
SeriesSelection DefaultSeriesSelection();
std::optional<SeriesSelection> LoadUseItems();
std::optional<SeriesSelection> UseItemsFromLines(const QStringList& lines);
bool SaveUseItems(const SeriesSelection& cells);
// A series is shown when its cell's numeric value is exactly 1.
bool IsSeriesShown(const QString& cellText);

// PrintMargin.CFG: the margin cell texts, Top, Bottom, Left, Right.
using PrintMarginCells = std::array<QString, kMarginCount>;
PrintMarginCells DefaultPrintMargins();
std::optional<PrintMarginCells> LoadPrintMargins();
std::optional<PrintMarginCells> PrintMarginsFromLines(const QStringList& lines);
bool SavePrintMargins(const PrintMarginCells& cells);

}  // namespace zr410
