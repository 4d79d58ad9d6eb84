#pragma once

#include <QByteArray>

#include <map>
#include <vector>

#include "engine/PollEngine.h"

// Records what the poll cycle asks for, so scenarios can be scripted event by event.
class FakeHost : public zr410::PollEngineHost {
public:
    bool portOpen = true;
    bool transmitFails = false;
    std::vector<QByteArray> sent;    // frames put on the wire
    std::vector<QByteArray> logged;  // communication log lines (requests and received blocks)
    std::vector<QByteArray> traced;
    int threshold = -1;
    int discards = 0;
    bool sendArmed = false;
    bool replyArmed = false;
    int sendLampFlashes = 0;
    std::map<int, zr410::LinkMark> linkMarks;
    std::map<int, bool> connections;
    int editIndex = -1;
    int editNo = -1;
    bool connectCheckVisible = false;
    bool online = false;
    std::vector<int> runTableTimeouts;
    int parameterRefreshes = 0;
    std::vector<std::vector<int>> refused;

    bool isPortOpen() const override { return portOpen; }
    bool transmit(const QByteArray& frame) override {
        if (transmitFails) {
            return false;
        }
        sent.push_back(frame);
        return true;
    }
    void setReceiveThreshold(int bytes) override { threshold = bytes; }
    void discardInput() override { ++discards; }
    void armSendTimer() override { sendArmed = true; }
    void stopSendTimer() override { sendArmed = false; }
    void armReplyTimer() override { replyArmed = true; }
    void stopReplyTimer() override { replyArmed = false; }
    void logBlock(const QByteArray& bytes) override { logged.push_back(bytes); }
    void flashSendLamp() override { ++sendLampFlashes; }
    void showLinkMark(int index, zr410::LinkMark mark) override { linkMarks[index] = mark; }
    void showConnection(int index, bool connected) override { connections[index] = connected; }
    void showEditDevice(int index, int no) override {
        editIndex = index;
        editNo = no;
    }
    void showConnectCheck(bool visible) override { connectCheckVisible = visible; }
    void setOnlineControls(bool on) override { online = on; }
    void showRunTableTimeout(int index) override { runTableTimeouts.push_back(index); }
    void refreshParameterScreen() override { ++parameterRefreshes; }
    void traceReceived(const QByteArray& block) override { traced.push_back(block); }
    void requestRefused(const std::vector<int>& registers, const std::vector<int>&) override {
        refused.push_back(registers);
    }

    QByteArray lastSent() const { return sent.empty() ? QByteArray() : sent.back(); }
};

// Records decoder calls; can be told to reject replies as if they were short.
class FakeDecoders : public zr410::ReplyDecoders {
public:
    std::vector<int> statusIndices;
    int reservations = 0;
    int parameters = 0;
    int errorHistories = 0;
    bool accept = true;

    bool DecodeStatusBlock(int index, QByteArrayView) override {
        statusIndices.push_back(index);
        return accept;
    }
    bool DecodeReservationBlock(QByteArrayView) override {
        ++reservations;
        return accept;
    }
    bool DecodeParameterBlock(QByteArrayView) override {
        ++parameters;
        return accept;
    }
    bool DecodeErrorHistory(QByteArrayView) override {
        ++errorHistories;
        return accept;
    }
};
