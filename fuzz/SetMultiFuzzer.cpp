// The SetMulti.INI reader: any bytes give served device numbers 1..99 in ascending order, and
// the dialog's grid shows exactly the devices the program serves.
#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/SettingsText.h"
#include "engine/DeviceSelection.h"

using namespace zr410;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = DecodeSettingsLines(bytes);
    const std::vector<int> served = DeviceSelectionFromLines(lines);
    FUZZ_CHECK(std::is_sorted(served.begin(), served.end()));
    FUZZ_CHECK(std::adjacent_find(served.begin(), served.end()) == served.end());
    for (int number : served) {
        FUZZ_CHECK(number >= 1 && number <= kMaxDeviceNo);
    }
    const SelectionGrid grid = SelectionGridFromLines(lines);
    FUZZ_CHECK(SelectedDevices(grid) == served);
    FUZZ_CHECK(HasSelectedDevice(grid) == !served.empty());
    return 0;
}
