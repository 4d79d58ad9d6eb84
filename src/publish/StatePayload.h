#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zr410 {

class ValueTable;

// The retained JSON document of one controller, from its row of the value table after a good
// status reply. Values are written as the controller gave them ("85.0" stays 85.0, not 85),
// with the unit the controller reports; every status bit by name; the controller's own clock;
// the link state; and the time of the reply with its zone (ISO 8601).
QByteArray StatePayload(const ValueTable& table, int row, const QString& lineName,
                        const QString& linkText, const QDateTime& decodedAt);

// ISO 8601 with milliseconds and the numeric zone ("2026-12-10T09:15:02.125+09:00").
QString IsoTimeWithZone(const QDateTime& time);

// A JSON string literal (quotes included) of any text.
QByteArray JsonString(const QString& text);

// The text as a JSON number when it is one as written ("-0.5", "1.30"), otherwise null; a
// number keeps every digit the controller sent.
QByteArray JsonNumberText(const QString& text);

}  // namespace zr410
