// The Comm.CFG reader: any bytes, in CP949 or UTF-8 or neither, become six settings or the
// defaults, and the settings become line settings the port can take. The settings text layer
// that every settings file shares is held to its promise here too: whatever lines it reads,
// it writes so that they read back the same.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/SettingsText.h"
#include "engine/PortSettings.h"

using namespace zr410;

namespace {

void checkRoundTrip(QStringList lines) {
    for (QString& line : lines) {
        line.replace(QLatin1Char('\r'), QLatin1Char(' '));  // written as a blank by design
    }
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) {
        return;  // a leading byte-order mark is taken as the file's, not the value's
    }
    FUZZ_CHECK(DecodeSettingsLines(EncodeSettingsLines(lines)) == lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = DecodeSettingsLines(bytes);
    const auto settings = PortSettingsFromLines(lines);
    FUZZ_CHECK(settings.has_value() == (lines.size() >= 6));
    const PortSettings used = settings.value_or(PortSettings{});
    const LineSettings line = ToLineSettings(used);
    FUZZ_CHECK(line.baud >= 1);
    const int checksum = used.ChecksumLength();
    FUZZ_CHECK(checksum == 0 || checksum == 2);
    used.LineText();
    checkRoundTrip(lines);
    return 0;
}
