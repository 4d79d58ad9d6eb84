// The data-file reader, fed any file an operator could point the viewer at: a torn record, a
// file of another program, random bytes. The whole-file reader must account for every line,
// the line reader must cut lines that hold no line end and consume every byte, and the fast
// field parse must agree with the general one on every field. Read in pieces on two threads,
// the file must give exactly what one thread gives.
#include <QBuffer>
#include <QByteArray>
#include <QTemporaryFile>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/NumberEntry.h"
#include "logging/DataFile.h"

using namespace zr410;

namespace {

void checkWholeFile(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const DataFileLoadResult result = ReadDataFile(buffer);
    FUZZ_CHECK(result.status == DataFileStatus::Ok);
    const DataFileContents& contents = result.contents;
    FUZZ_CHECK(contents.size() == result.recordsRead);
    for (int s = 0; s < kDataSeriesCount; ++s) {
        const auto& values = contents.series[static_cast<std::size_t>(s)];
        FUZZ_CHECK(static_cast<qsizetype>(values.size()) == contents.size());
        for (double v : values.toVector()) {
            FUZZ_CHECK(v >= contents.minimum[static_cast<std::size_t>(s)]);
            FUZZ_CHECK(v <= contents.maximum[static_cast<std::size_t>(s)]);
        }
    }
    FUZZ_CHECK(result.shortRecords <= result.recordsRead);

    QTemporaryFile file;
    FUZZ_CHECK(file.open() && file.write(bytes) == bytes.size() && file.flush());
    const DataFileLoadResult pieces = ReadDataFile(file.fileName(), {}, {2, 1 + bytes.size() / 3});
    FUZZ_CHECK(pieces.status == DataFileStatus::Ok);
    FUZZ_CHECK(pieces.recordsRead == result.recordsRead);
    FUZZ_CHECK(pieces.linesSkipped == result.linesSkipped);
    FUZZ_CHECK(pieces.bytesComplete == result.bytesComplete);
    FUZZ_CHECK(pieces.firstIssues.size() == result.firstIssues.size());
    for (size_t k = 0; k < result.firstIssues.size(); ++k) {
        FUZZ_CHECK(pieces.firstIssues[k].lineNumber == result.firstIssues[k].lineNumber);
    }
    for (qsizetype i = 0; i < contents.size(); ++i) {
        FUZZ_CHECK(pieces.contents.stamps.date(i) == contents.stamps.date(i));
        FUZZ_CHECK(pieces.contents.stamps.time(i) == contents.stamps.time(i));
        for (int s = 0; s < kDataSeriesCount; ++s) {
            FUZZ_CHECK(DataValueText(pieces.contents, i, s) == DataValueText(contents, i, s));
        }
    }
}

void checkLines(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    DataLineReader reader(buffer, 4096);
    QByteArrayView line;
    qint64 lines = 0;
    while (reader.next(line)) {
        ++lines;
        FUZZ_CHECK(reader.lineNumber() == lines);
        FUZZ_CHECK(line.size() <= DataLineReader::kMaxLineLength);
        FUZZ_CHECK(!line.contains('\n'));
        ClassifyDataLine(line, reader.lineTerminated(), reader.lineOverlong());
        ForEachDataField(line, [](int, QByteArrayView field) {
            // The fast path must give exactly what the general parse gives.
            const double fast = ParseDataField(field);
            const double general = ParseLeadingNumber(field);
            FUZZ_CHECK(fast == general || (std::isnan(fast) && std::isnan(general)));
            return true;
        });
    }
    FUZZ_CHECK(reader.bytesConsumed() == bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkWholeFile(bytes);
    checkLines(bytes);
    return 0;
}
