#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace zr410 {

// Served device numbers and channel names, CFG/SetMulti.INI: line k is device number k and
// holds the use flag, a TAB and the channel name. Only the exact flag "O" serves a device.
inline constexpr int kMaxDeviceNo = 99;

// Path of SetMulti.INI in the CFG folder of the program folder.
QString DeviceSelectionPath();

// The served device numbers, ascending. A missing file serves none. An empty line is a device
// that is not served and reading goes on, so one blank line in a hand-edited file does not
// drop every device after it. Lines after the 99th are ignored. Creates the CFG folder.
std::vector<int> LoadDeviceSelection(const QString& path);

// One row of the selection dialog's grid.
struct SelectionEntry {
    QString use = QStringLiteral("X");  // "O" served, "X" not
    QString name;                       // channel name, free text
};

using SelectionGrid = std::array<SelectionEntry, kMaxDeviceNo>;

// The dialog's grid: rows without a line in the file keep "X" and an empty name. The use
// field reads "O" exactly when LoadDeviceSelection serves that device and "X" otherwise, so
// the dialog always shows what the program serves. A line without TAB is a use flag without a
// name. Creates the CFG folder.
SelectionGrid LoadSelectionGrid(const QString& path);

// Writes exactly 99 lines "use TAB name CR LF" (CP949). A TAB or line break typed into a name
// would break the line format and is written as a blank. Creates the CFG folder. Returns false
// when the file could not be written; the previous file is then left as it was.
bool SaveSelectionGrid(const QString& path, const SelectionGrid& entries);

// The same two readings of the file's lines.
std::vector<int> DeviceSelectionFromLines(const QStringList& lines);
SelectionGrid SelectionGridFromLines(const QStringList& lines);

bool HasSelectedDevice(const SelectionGrid& entries);

// Device numbers (row + 1) whose use field is "O", ascending.
std::vector<int> SelectedDevices(const SelectionGrid& entries);

}  // namespace zr410
