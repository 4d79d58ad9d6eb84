#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

#include "../engine/FakeHost.h"
#include "ReplyFrames.h"
#include "engine/PollEngine.h"
#include "engine/SerialLink.h"
#include "model/Decoders.h"
#include "model/ErrorHistory.h"
#include "model/ValueTable.h"
#include "params/frmZR410_PRMT.h"

// The parameter screen with its edit dialogs and messages answered by the test.
class TestPRMT : public zr410::frmZR410_PRMT {
public:
    using frmZR410_PRMT::frmZR410_PRMT;
    QStringList messages;
    QStringList dialogCaptions;
    // Runs on each edit dialog instead of the operator; rejects when unset.
    std::function<int(QDialog&)> onDialog;

protected:
    void ShowMessage(const QString& text) override { messages << text; }
    int ExecDialog(QDialog& dialog) override {
        dialogCaptions << dialog.windowTitle();
        return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
    }
};

// Fills an edit dialog's fields and presses OK, as the operator would.
inline int Answer(QDialog& dialog, const QStringList& entries) {
    const char* fields[] = {"txtEditVal", "txtEditTime_0", "txtEditTime_1"};
    int next = 0;
    for (const char* name : fields) {
        if (auto* edit = dialog.findChild<QLineEdit*>(name); edit && next < entries.size()) {
            edit->setText(entries[next++]);
        }
    }
    dialog.findChild<QPushButton*>("btnOK")->click();
    return dialog.result();
}

// The real poll cycle over a scripted host, with the real decoders and value table; the
// host's indicators reach the screen through the serial link's signal, as the port's would.
// Devices 3 and 7 are served; 7 is the edit device.
class ScreenHarness : public ::testing::Test {
protected:
    static constexpr int kEditIndex = 1;
    static constexpr int kEditNo = 7;

    void SetUp() override {
        state.SetDeviceNumbers({3, kEditNo});
        state.DeviceConnected = {true, true};
        state.EditDeviceIndex = kEditIndex;
        state.EditDeviceNo = kEditNo;
        table.resetRows(state.DeviceNumbers);
        engine.setDecoders(&decoders);
        host.onIndicate = [this](const zr410::EngineIndicator& i) { emit link.indicator(i); };
        host.sendArmed = true;
    }

    // Opens the screen as the menu does: the blocks are asked for, then the window shows.
    void open() {
        state.QueueRequest(zr410::PollState::Reservation);
        screen = std::make_unique<TestPRMT>(state, table, decoders, link);
    }

    QByteArray tick() {
        const size_t before = host.sent.size();
        engine.sendTick();
        return host.sent.size() > before ? host.sent.back() : QByteArray();
    }
    void reply(const QByteArray& block) {
        engine.bytesArrived(static_cast<int>(block.size()));
        engine.blockReceived(block);
    }

    // Values in the order of the two read lists.
    std::vector<int> reservation = {2, 65, 7, 5, 18, 30, 2, 30, 1, 1};
    std::vector<int> parameters = {1,   0,   850, 100, 125, 50, 153, 5, 25, 120,  30,
                                   2,   150, 60,  15,  4,   0,  1,   2, 5,  1800, 0,
                                   -20, 0,   5,   -15, 400, 10, 0,   0, 1,  30};

    // Runs the two reads the screen's opening or an acknowledged write asks for.
    void readBlocks() {
        tick();
        reply(replies::read(kEditNo, reservation));
        tick();
        reply(replies::read(kEditNo, parameters));
    }

    zr410::SharedState state;
    zr410::ValueTable table;
    zr410::ErrorHistory errors;
    zr410::DeviceDecoders decoders{state, table, errors};
    zr410::SerialLink link{state};
    FakeHost host;
    zr410::PollEngine engine{state, host};
    std::unique_ptr<TestPRMT> screen;
};
