#pragma once

#include <QByteArray>

#include <functional>
#include <map>
#include <vector>

#include "engine/PollEngine.h"

// Records what the poll cycle asks for, so scenarios can be scripted event by event.
class FakeHost : public zr410::PollEngineHost {
public:
    using Kind = zr410::EngineIndicator::Kind;

    bool portOpen = true;
    bool transmitFails = false;
    std::vector<QByteArray> sent;    // frames put on the wire
    std::vector<QByteArray> logged;  // communication log lines (requests and received blocks)
    int discards = 0;
    bool sendArmed = false;
    bool replyArmed = false;
    int replyArms = 0;
    bool gatherStarted = false;
    std::vector<zr410::EngineIndicator> indicators;
    // Runs as each indicator is reported, to look at the cycle at that very moment.
    std::function<void(const zr410::EngineIndicator&)> onIndicate;

    // The latest state of each indicator, as the windows would show it.
    std::map<int, zr410::LinkMark> linkMarks;
    std::map<int, bool> connections;
    int editIndex = -1;
    int editNo = -1;
    bool connectCheckVisible = false;
    bool online = false;
    int sendLampFlashes = 0;

    bool isPortOpen() const override { return portOpen; }
    bool transmit(const QByteArray& frame) override {
        if (transmitFails) {
            return false;
        }
        sent.push_back(frame);
        return true;
    }
    void discardInput() override { ++discards; }
    void logBlock(const QByteArray& bytes) override { logged.push_back(bytes); }
    void armSendTimer() override { sendArmed = true; }
    void stopSendTimer() override { sendArmed = false; }
    void armReplyTimer() override {
        replyArmed = true;
        ++replyArms;
    }
    void stopReplyTimer() override { replyArmed = false; }
    void startGather() override { gatherStarted = true; }

    void indicate(const zr410::EngineIndicator& i) override {
        indicators.push_back(i);
        if (onIndicate) {
            onIndicate(i);
        }
        switch (i.kind) {
            case Kind::LinkMark:
                linkMarks[i.deviceIndex] = i.mark;
                break;
            case Kind::Connection:
                connections[i.deviceIndex] = i.on;
                break;
            case Kind::EditDevice:
                editIndex = i.deviceIndex;
                editNo = i.deviceNo;
                break;
            case Kind::ConnectCheck:
                connectCheckVisible = i.on;
                break;
            case Kind::OnlineControls:
                online = i.on;
                break;
            case Kind::SendLamp:
                sendLampFlashes += i.on ? 1 : 0;
                break;
            default:
                break;
        }
    }

    std::vector<zr410::EngineIndicator> of(Kind kind) const {
        std::vector<zr410::EngineIndicator> out;
        for (const auto& i : indicators) {
            if (i.kind == kind) {
                out.push_back(i);
            }
        }
        return out;
    }

    QByteArray lastSent() const { return sent.empty() ? QByteArray() : sent.back(); }
};

// Records decoder calls; can be told to reject replies as if they were short.
class FakeDecoders : public zr410::ReplyDecoders {
public:
    std::vector<int> statusIndices;
    std::vector<int> reservationIndices;
    std::vector<int> parameterIndices;
    int errorHistories = 0;
    bool accept = true;

    bool DecodeStatusBlock(int index, QByteArrayView) override {
        statusIndices.push_back(index);
        return accept;
    }
    bool DecodeReservationBlock(int index, QByteArrayView) override {
        reservationIndices.push_back(index);
        return accept;
    }
    bool DecodeParameterBlock(int index, QByteArrayView) override {
        parameterIndices.push_back(index);
        return accept;
    }
    bool DecodeErrorHistory(QByteArrayView) override {
        ++errorHistories;
        return accept;
    }
};
