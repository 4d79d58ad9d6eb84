#include "model/TrendSampler.h"

#include "common/NumberEntry.h"
#include "engine/SharedState.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"

namespace zr410 {

static_assert(kMeasuredRegisters.size() == TrendSampler::kSeriesCount);

QColor TrendSampler::DefaultColor(int series) {
    static const std::array<QColor, kSeriesCount> colors = {
        QColor(0xFF, 0x00, 0x00), QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0x80, 0xFF),
        QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0x00, 0x00)};
    return colors.at(static_cast<size_t>(series));
}

std::optional<TrendSampler::Sample> TrendSampler::Tick(const SharedState& state,
                                                       const ValueTable& table) {
    const int index = state.EditDeviceIndex;
    if (!state.IsDeviceIndex(index) || !state.DeviceRunning[static_cast<size_t>(index)]) {
        ChartPointCount = 0;
        return std::nullopt;
    }
    if (!state.DeviceConnected[static_cast<size_t>(index)]) {
        return std::nullopt;  // running but not answering: the run goes on without a point
    }
    Sample sample;
    sample.startsNewChart = ChartPointCount == 0;
    ChartPointCount += 1;
    sample.point = ChartPointCount;
    for (int s = 0; s < kSeriesCount; ++s) {
        sample.values[static_cast<size_t>(s)] = ParseLeadingNumber(QStringView(table.Text(
            index + 1, ValueTable::StatusColumn(kMeasuredRegisters[static_cast<size_t>(s)]))));
    }
    return sample;
}

}  // namespace zr410
