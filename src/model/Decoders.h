#pragma once

#include <QObject>

#include "engine/PollEngine.h"
#include "engine/SharedState.h"

namespace zr410 {

class ErrorHistory;
class ValueTable;

// Turns accepted read replies into display texts of the value table (and the error history),
// and keeps the display settings of the edit device. Every value's text form comes from the
// register table. A reply too short for its list is reported, never read past its end.
class DeviceDecoders : public QObject, public ReplyDecoders {
    Q_OBJECT

public:
    DeviceDecoders(SharedState& state, ValueTable& table, ErrorHistory& errors,
                   QObject* parent = nullptr);

    bool DecodeStatusBlock(int deviceIndex, QByteArrayView frame) override;
    bool DecodeReservationBlock(int deviceIndex, QByteArrayView frame) override;
    bool DecodeParameterBlock(int deviceIndex, QByteArrayView frame) override;
    bool DecodeErrorHistory(QByteArrayView frame) override;

    // Another controller has become the edit device: its display settings are taken from
    // its row at once (when it has answered before), not only at its next status reply.
    void AdoptEditDevice(int deviceIndex);

    // Display settings of the edit device: decimal places (register 506) and unit text.
    int DecimalPlaces = 0;
    QString TempUnitText;

signals:
    // A status reply of the edit device has been written to its row: the main window
    // repaints its value widgets from the table.
    void editDeviceStatusDecoded(int deviceIndex);
    // Any controller's status reply has been written to its row (the run table follows).
    void statusDecoded(int deviceIndex);
    // The same, only when the reply carried the whole list (what goes out to the plant).
    void statusComplete(int deviceIndex);
    // The edit device's unit text may have changed (axis title, unit labels).
    void editDeviceUnitChanged(const QString& unitText);
    void errorHistoryDecoded();

private:
    void setEditDisplay(int decimalPlaces, int unitCode);

    SharedState& state_;
    ValueTable& table_;
    ErrorHistory& errors_;
};

}  // namespace zr410
