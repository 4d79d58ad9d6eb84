#include "publish/StatePayload.h"

#include <QRegularExpression>

#include <array>

#include "model/TextForms.h"
#include "model/ValueTable.h"
#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

struct NamedBit {
    const char* name;
    int bit;
};

// Every status bit the controller reports, by the name dashboards subscribe to.
constexpr std::array<NamedBit, 10> kStatusBits = {{{"power", kBitPower},
                                                   {"run", kBitRun},
                                                   {"autoTune", kBitAutoTune},
                                                   {"preheat", kBitPreheat},
                                                   {"suction", kBitSuction},
                                                   {"cool", kBitCool},
                                                   {"mold", kBitMold},
                                                   {"buzzer", kBitBuzzer},
                                                   {"timeReservation", kBitTimeReservation},
                                                   {"weeklyReservation", kBitWeeklyReservation}}};

constexpr std::array<const char*, 5> kMeasuredNames = {"mold", "medium", "return", "supply",
                                                       "pressure"};

// Builds one JSON object member by member; keys are plain ASCII.
class JsonObject {
public:
    JsonObject& raw(const char* key, const QByteArray& value) {
        out_ += out_.isEmpty() ? "{" : ",";
        out_ += '"';
        out_ += key;
        out_ += "\":";
        out_ += value;
        return *this;
    }
    JsonObject& text(const char* key, const QString& value) { return raw(key, JsonString(value)); }
    JsonObject& number(const char* key, const QString& value) {
        return raw(key, JsonNumberText(value));
    }
    JsonObject& flag(const char* key, bool on) { return raw(key, on ? "true" : "false"); }
    QByteArray done() const { return out_.isEmpty() ? QByteArray("{}") : out_ + '}'; }

private:
    QByteArray out_;
};

}  // namespace

QString IsoTimeWithZone(const QDateTime& time) {
    // A fixed offset prints as "+09:00" (or "Z" for UTC, also ISO 8601).
    const QDateTime fixed = time.toOffsetFromUtc(time.offsetFromUtc());
    return fixed.toString(Qt::ISODateWithMs);
}

QByteArray JsonString(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            escaped += u'\\';
            escaped += c;
        } else if (c.unicode() < 0x20) {
            escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            escaped += c;
        }
    }
    return '"' + escaped.toUtf8() + '"';
}

QByteArray JsonNumberText(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?$"));
    const QString t = text.trimmed();
    return number.match(t).hasMatch() ? t.toLatin1() : QByteArray("null");
}

QByteArray StatePayload(const ValueTable& table, int row, const QString& lineName,
                        const QString& linkText, const QDateTime& decodedAt) {
    auto text = [&](int address) { return table.Text(row, ValueTable::StatusColumn(address)); };
    const int unitCode = table.Text(row, ValueTable::kColUnitCode).toInt();
    const QString tempUnit = TempUnitText(unitCode);

    JsonObject doc;
    doc.text("line", lineName);
    doc.number("device", table.Text(row, 0));
    doc.text("time", IsoTimeWithZone(decodedAt));
    doc.text("link", linkText);
    for (size_t i = 0; i < kMeasuredRegisters.size(); ++i) {
        const bool pressure = kMeasuredRegisters[i] == kRegPressure;
        doc.raw(kMeasuredNames[i], JsonObject()
                                       .number("value", text(kMeasuredRegisters[i]))
                                       .text("unit", pressure ? QStringLiteral("bar") : tempUnit)
                                       .done());
    }
    doc.raw("sv", JsonObject().number("value", text(kRegSetValue)).text("unit", tempUnit).done());
    doc.number("decimals", table.Text(row, ValueTable::kColDecimalPlaces));
    // Outputs and currents as the controller reports them, unscaled.
    doc.raw("output", JsonObject()
                          .number("heat", text(kRegHeatOutput))
                          .number("cool", text(kRegCoolOutput))
                          .done());
    doc.raw("current", JsonObject()
                           .number("R", text(kRegFirstPhaseCurrent))
                           .number("S", text(kRegFirstPhaseCurrent + 1))
                           .number("T", text(kRegFirstPhaseCurrent + 2))
                           .done());
    const QString wordText = text(kRegStatusWord);
    const int word = wordText.toInt();
    JsonObject status;
    status.number("word", wordText);
    for (const NamedBit& b : kStatusBits) {
        status.flag(b.name, StatusBitSet(word, b.bit));
    }
    doc.raw("status", status.done());
    JsonObject reservation;
    reservation.flag("time", StatusBitSet(word, kBitTimeReservation))
        .flag("weekly", StatusBitSet(word, kBitWeeklyReservation))
        .number("remainingHours", text(kRegRemainingHours))
        .number("remainingMinutes", text(kRegRemainingMinutes))
        .text("weekday", WeekdayName(text(kRegReservationWeekday).toInt()));
    doc.raw("reservation", reservation.done());
    // The controller's own clock, as it keeps it (no zone: it is the controller's wall time).
    const int c = kRegClockWeekday;  // weekday, year, month, day, hour, minute, second
    doc.raw("clock", JsonObject()
                         .text("time", QStringLiteral("%1-%2-%3T%4:%5:%6")
                                           .arg(text(c + 1).toInt() + 2000, 4, 10, QLatin1Char('0'))
                                           .arg(text(c + 2).toInt(), 2, 10, QLatin1Char('0'))
                                           .arg(text(c + 3).toInt(), 2, 10, QLatin1Char('0'))
                                           .arg(text(c + 4).toInt(), 2, 10, QLatin1Char('0'))
                                           .arg(text(c + 5).toInt(), 2, 10, QLatin1Char('0'))
                                           .arg(text(c + 6).toInt(), 2, 10, QLatin1Char('0')))
                         .text("weekday", WeekdayName(text(c).toInt()))
                         .done());
    return doc.done();
}

}  // namespace zr410
