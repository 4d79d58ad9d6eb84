#pragma once

#include <QByteArray>
#include <QMetaType>

#include <cstdint>
#include <vector>

#include "engine/PollState.h"

namespace zr410 {

// Outcome of a device's last poll, as the link-state cell shows it.
enum class LinkMark { Good, Over, Crc, Ng };

const char* LinkMarkText(LinkMark mark);     // UTF-8: "양호", "OVER", "CRC", "NG"
std::uint32_t LinkMarkColor(LinkMark mark);  // 0xRRGGBB: green for good, red otherwise

enum class TraceDirection { Received, Sent };

// One thing the poll cycle has to show. The engine reports every indicator through this one
// type and the adapter hands it on as one signal; each window picks the kinds it shows, so a
// new window never needs a change in the engine.
struct EngineIndicator {
    enum class Kind {
        LinkMark,          // deviceIndex, mark: link-state cell of the device
        Connection,        // deviceIndex, on: answered the identification, or given up
        EditDevice,        // deviceIndex, deviceNo: the scan chose the edit device
        ConnectCheck,      // on: "checking the connection" notice shown or hidden
        OnlineControls,    // on: the cycle is (no longer) polling found controllers
        RunTableTimeout,   // deviceIndex: a request to the device got no reply
        ParameterRefresh,  // deviceIndex: reservation and parameter blocks read afresh
        Trace,             // direction, bytes: a request sent or a block received
        SendLamp,          // on
        ReceiveLamp,       // on
        RequestRefused,    // state, registers, values: a queued request a frame cannot carry
        RequestDropped,    // state, registers, values: a queued request lost with the port
    };

    Kind kind = Kind::LinkMark;
    int deviceIndex = -1;
    int deviceNo = 0;
    LinkMark mark = LinkMark::Good;
    bool on = false;
    TraceDirection direction = TraceDirection::Received;
    QByteArray bytes;
    PollState state = PollState::None;
    std::vector<int> registers;
    std::vector<int> values;

    static EngineIndicator Link(int deviceIndex, LinkMark mark);
    static EngineIndicator Flag(Kind kind, bool on);
    static EngineIndicator ForDevice(Kind kind, int deviceIndex, bool on = false);
    static EngineIndicator Edit(int deviceIndex, int deviceNo);
    static EngineIndicator TraceOf(TraceDirection direction, const QByteArray& bytes);
    static EngineIndicator Request(Kind kind, PollState state, std::vector<int> registers,
                                   std::vector<int> values);
};

}  // namespace zr410

Q_DECLARE_METATYPE(zr410::EngineIndicator)
