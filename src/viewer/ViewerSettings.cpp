#include "viewer/ViewerSettings.h"

#include <QStringList>

#include <cmath>

#include "common/NumberEntry.h"
#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

namespace zr410 {
namespace {

const QString kFolderFile = QStringLiteral("Folder.CFG");
const QString kColourFile = QStringLiteral("ChartColor.CFG");
const QString kUseItemFile = QStringLiteral("UseItem.CFG");
const QString kMarginFile = QStringLiteral("PrintMargin.CFG");

// A whole number written as such; anything else (1.5, "x") is not a column or a colour.
std::optional<std::int64_t> wholeNumber(const QString& text) {
    const double value = ParseLeadingNumber(text);
    if (value != std::floor(value) || std::fabs(value) > 1e12) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
}

// Reads "c,text" lines into cells 1..count; absent when a line is malformed.
template <std::size_t N>
std::optional<std::array<QString, N>> parseCells(const QStringList& lines,
                                                 std::array<QString, N> cells) {
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) {
            continue;
        }
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0) {
            return std::nullopt;
        }
        const auto column = wholeNumber(line.left(comma));
        if (!column || *column < 1 || *column > static_cast<std::int64_t>(N)) {
            return std::nullopt;
        }
        cells[static_cast<std::size_t>(*column - 1)] = line.mid(comma + 1);
    }
    return cells;
}

template <std::size_t N>
std::optional<std::array<QString, N>> loadCells(const QString& fileName,
                                                const std::array<QString, N>& cells) {
    const auto lines = ReadSettingsLines(ViewerSettingsPath(fileName));
    return lines ? parseCells(*lines, cells) : std::nullopt;
}

template <std::size_t N>
bool saveCells(const QString& fileName, const std::array<QString, N>& cells) {
    QStringList lines;
    for (std::size_t c = 0; c < N; ++c) {
        lines.append(QStringLiteral("%1,%2").arg(c + 1).arg(cells[c]));
    }
    return WriteSettingsLines(ViewerSettingsPath(fileName), lines);
}

}  // namespace

QString ViewerSettingsPath(const QString& fileName) {
    return InProgramFolder(fileName);
}

std::optional<QString> LoadFolderSetting() {
    const auto lines = ReadSettingsLines(ViewerSettingsPath(kFolderFile));
    return lines ? FolderSettingFromLines(*lines) : std::nullopt;
}

std::optional<QString> FolderSettingFromLines(const QStringList& lines) {
    if (lines.isEmpty() || lines.first().isEmpty()) {
        return std::nullopt;
    }
    return lines.first();
}

bool SaveFolderSetting(const QString& folder) {
    return WriteSettingsLines(ViewerSettingsPath(kFolderFile), {folder});
}

RgbParts SplitColour(std::int64_t value) {
    return {static_cast<int>(value % 256), static_cast<int>(value / 256 % 256),
            static_cast<int>(value / 65536 % 256)};
}

std::int64_t ColourValue(const QColor& colour) {
    return static_cast<std::int64_t>(colour.red()) + colour.green() * 256LL +
           colour.blue() * 65536LL;
}

QColor ColourFromValue(std::int64_t value) {
    const RgbParts parts = SplitColour(value);
    return QColor(parts.red, parts.green, parts.blue);
}

std::optional<SeriesColours> LoadChartColours(const SeriesColours& start) {
    const auto lines = ReadSettingsLines(ViewerSettingsPath(kColourFile));
    return lines ? ChartColoursFromLines(*lines, start) : std::nullopt;
}

std::optional<SeriesColours> ChartColoursFromLines(const QStringList& lines,
                                                   const SeriesColours& start) {
    std::array<QString, kSeriesCount> cells;
    for (int s = 0; s < kSeriesCount; ++s) {
        cells[s] = QString::number(ColourValue(start[s]));
    }
    const auto loaded = parseCells(lines, cells);
    if (!loaded) {
        return std::nullopt;
    }
    SeriesColours colours;
    for (int s = 0; s < kSeriesCount; ++s) {
        const auto value = wholeNumber((*loaded)[s]);
        if (!value || *value < 0 || *value > 0xFFFFFF) {
            return std::nullopt;
        }
        colours[s] = ColourFromValue(*value);
    }
    return colours;
}

bool SaveChartColours(const SeriesColours& colours) {
    std::array<QString, kSeriesCount> cells;
    for (int s = 0; s < kSeriesCount; ++s) {
        cells[s] = QString::number(ColourValue(colours[s]));
    }
    return saveCells(kColourFile, cells);
}

SeriesSelection DefaultSeriesSelection() {
    SeriesSelection cells;
    cells.fill(QStringLiteral("1"));
    return cells;
}

std::optional<SeriesSelection> LoadUseItems() {
    return loadCells(kUseItemFile, DefaultSeriesSelection());
}

std::optional<SeriesSelection> UseItemsFromLines(const QStringList& lines) {
    return parseCells(lines, DefaultSeriesSelection());
}

bool SaveUseItems(const SeriesSelection& cells) {
    return saveCells(kUseItemFile, cells);
}

bool IsSeriesShown(const QString& cellText) {
    return ParseLeadingNumber(cellText) == 1.0;
}

PrintMarginCells DefaultPrintMargins() {
    PrintMarginCells cells;
    cells.fill(QStringLiteral("0"));
    return cells;
}

std::optional<PrintMarginCells> LoadPrintMargins() {
    return loadCells(kMarginFile, DefaultPrintMargins());
}

std::optional<PrintMarginCells> PrintMarginsFromLines(const QStringList& lines) {
    return parseCells(lines, DefaultPrintMargins());
}

bool SavePrintMargins(const PrintMarginCells& cells) {
    return saveCells(kMarginFile, cells);
}

}  // namespace zr410
