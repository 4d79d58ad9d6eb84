// The SaveData.INI reader: any bytes give the five save settings or the defaults, and the
// interval box's rule always leaves a number from 1 to 60 or the text as typed.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/NumberEntry.h"
#include "common/SettingsText.h"
#include "logging/SaveSettings.h"

using namespace zr410;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = DecodeSettingsLines(bytes);
    const auto texts = SaveSettingsTextsFromLines(lines);
    FUZZ_CHECK(texts.has_value() == (lines.size() >= 5));
    if (!texts) {
        return 0;
    }
    FUZZ_CHECK(texts->size() == 5);
    const SaveSettings settings = SaveSettingsFromTexts(*texts);
    settings.Enabled();
    settings.IntervalSeconds();
    const QString clamped = ClampSaveIntervalText(texts->at(1));
    const double value = ParseLeadingNumber(QStringView(clamped));
    FUZZ_CHECK(value >= kMinSaveInterval && value <= kMaxSaveInterval);
    return 0;
}
