#include "engine/DeviceSelection.h"

#include "common/ProgramFolder.h"
#include "common/SettingsText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zr410 {
namespace {

const QLatin1Char kTab('\t');
const QLatin1String kServed("O");
const QLatin1String kNotServed("X");

void makeFolderOf(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
}

QStringList readLines(const QString& path) {
    makeFolderOf(path);
    return ReadSettingsLines(path).value_or(QStringList());
}

// A TAB inside a field would shift the name into a third field that is never read.
QString asField(QString text) {
    text.replace(kTab, QLatin1Char(' '));
    return text;
}

bool isServed(const QString& line) {
    return line.section(kTab, 0, 0) == kServed;
}

}  // namespace

QString DeviceSelectionPath() {
    return InProgramFolder(QStringLiteral("CFG/SetMulti.INI"));
}

std::vector<int> LoadDeviceSelection(const QString& path) {
    return DeviceSelectionFromLines(readLines(path));
}

SelectionGrid LoadSelectionGrid(const QString& path) {
    return SelectionGridFromLines(readLines(path));
}

std::vector<int> DeviceSelectionFromLines(const QStringList& lines) {
    std::vector<int> numbers;
    const int count = static_cast<int>(std::min<qsizetype>(lines.size(), kMaxDeviceNo));
    for (int i = 0; i < count; ++i) {
        if (isServed(lines.at(i))) {
            numbers.push_back(i + 1);
        }
    }
    return numbers;
}

SelectionGrid SelectionGridFromLines(const QStringList& lines) {
    SelectionGrid grid;
    const int count = static_cast<int>(std::min<qsizetype>(lines.size(), kMaxDeviceNo));
    for (int i = 0; i < count; ++i) {
        const QString& line = lines.at(i);
        grid[i].use = isServed(line) ? QString(kServed) : QString(kNotServed);
        grid[i].name = line.section(kTab, 1, 1);
    }
    return grid;
}

bool SaveSelectionGrid(const QString& path, const SelectionGrid& entries) {
    makeFolderOf(path);
    QStringList lines;
    lines.reserve(kMaxDeviceNo);
    for (const SelectionEntry& entry : entries) {
        lines.append(asField(entry.use) + kTab + asField(entry.name));
    }
    return WriteSettingsLines(path, lines);
}

bool HasSelectedDevice(const SelectionGrid& entries) {
    return std::any_of(entries.begin(), entries.end(),
                       [](const SelectionEntry& e) { return e.use == kServed; });
}

std::vector<int> SelectedDevices(const SelectionGrid& entries) {
    std::vector<int> numbers;
    for (int i = 0; i < kMaxDeviceNo; ++i) {
        if (entries[i].use == kServed) {
            numbers.push_back(i + 1);
        }
    }
    return numbers;
}

}  // namespace zr410
