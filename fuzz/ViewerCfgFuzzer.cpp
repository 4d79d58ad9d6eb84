// The viewer's four settings readers (Folder.CFG, ChartColor.CFG, UseItem.CFG,
// PrintMargin.CFG), each given the same bytes: every one gives its settings or reports the
// file as absent, and colours read back are colours the chart can show.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/SettingsText.h"
#include "viewer/ViewerSettings.h"

using namespace zr410;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = DecodeSettingsLines(bytes);

    const auto folder = FolderSettingFromLines(lines);
    FUZZ_CHECK(!folder || !folder->isEmpty());

    SeriesColours start;
    start.fill(QColor(1, 2, 3));
    if (const auto colours = ChartColoursFromLines(lines, start)) {
        for (const QColor& colour : *colours) {
            FUZZ_CHECK(colour.isValid());
            FUZZ_CHECK(ColourFromValue(ColourValue(colour)) == colour);
        }
    }
    if (const auto items = UseItemsFromLines(lines)) {
        for (const QString& cell : *items) {
            IsSeriesShown(cell);
        }
    }
    PrintMarginsFromLines(lines);
    return 0;
}
