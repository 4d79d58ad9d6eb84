#include "monitor/frmZR410_SetPort.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include "DialogTestSupport.h"
#include "TempFolder.h"
#include "engine/PortErrors.h"

using namespace zr410;

namespace {

class SetPortDialog : public frmZR410_SetPort {
public:
    using frmZR410_SetPort::frmZR410_SetPort;
    QStringList messages;

    QComboBox* box(const char* name) { return findChild<QComboBox*>(name); }
    QString message() { return findChild<QLabel*>("lblMsg")->text(); }
    void choosePort(const QString& entry) {
        QComboBox* port = box("cmbPort");
        const int index = port->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        port->setCurrentIndex(index);
        emit port->activated(index);
    }
    void press(const char* button) { findChild<QPushButton*>(button)->click(); }

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

// A pseudo-terminal stands in for a serial port that exists and opens.
class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = QString::fromLocal8Bit(name);
        }
    }
    ~PseudoTerminal() {
        if (!path_.isEmpty()) {
            ::close(master_);
            ::close(slave_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    const QString& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

const QString kMissing = QStringLiteral("/dev/zr410-no-such-port");

PortSettings withPort(const QString& port) {
    PortSettings s;
    s.PortName = port;
    return s;
}

}  // namespace

TEST(SetPortDialog, OpensWithTheCurrentSettingsAndTheOfferedValues) {
    TempProgramFolder folder;
    PortSettings current;
    current.PortName = "COM3";
    current.BaudText = "4800";
    current.ParityText = "N";
    current.DataBitsText = "7";
    current.StopBitsText = "2";
    current.ProtocolText = "STD";
    SetPortDialog dialog(current);

    EXPECT_EQ(dialog.windowTitle(), "통신포트 설정");
    EXPECT_EQ(dialog.DialogSettings(), current);
    QComboBox* port = dialog.box("cmbPort");
    ASSERT_GE(port->count(), 16);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(port->itemText(n - 1), QStringLiteral("COM%1").arg(n));
    }
    for (int i = 16; i < port->count(); ++i) {
        EXPECT_TRUE(port->itemText(i).startsWith("/dev/")) << port->itemText(i).toStdString();
    }
    const auto items = [&](const char* name) {
        QStringList texts;
        for (int i = 0; i < dialog.box(name)->count(); ++i) {
            texts << dialog.box(name)->itemText(i);
        }
        return texts;
    };
    EXPECT_EQ(items("cmbBaud"), (QStringList{"9600", "4800", "2400", "1200"}));
    EXPECT_EQ(items("cmbParity"), (QStringList{"N", "E", "O"}));
    EXPECT_EQ(items("cmbData"), (QStringList{"7", "8"}));
    EXPECT_EQ(items("cmbStop"), (QStringList{"1", "2"}));
    EXPECT_EQ(items("cmbProtocol"), (QStringList{"STD", "SUM"}));
    for (const char* name :
         {"cmbPort", "cmbBaud", "cmbParity", "cmbData", "cmbStop", "cmbProtocol"}) {
        EXPECT_TRUE(dialog.box(name)->isEditable()) << name;
    }
    EXPECT_EQ(dialog.findChild<QPushButton*>("btnOK")->text(), "확인[&O]");
    EXPECT_EQ(dialog.findChild<QPushButton*>("btnCancel")->text(), "취소[&C]");
    EXPECT_EQ(WidgetsWithoutAccessibleName(dialog), QStringList());
}

TEST(SetPortDialog, Com16ChosenAndConfirmedIsPort16AtTheNextOpening) {
    TempProgramFolder folder;
    SetPortDialog dialog(LoadPortSettings(PortSettingsPath()));
    dialog.choosePort("COM16");
    dialog.press("btnOK");

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(folder.read("Comm.CFG"), QByteArray("COM16\r\n9600\r\nE\r\n8\r\n1\r\nSUM\r\n"));
    EXPECT_EQ(dialog.Settings().PortName, "COM16");
    EXPECT_EQ(ToLineSettings(LoadPortSettings(PortSettingsPath())).device, "/dev/ttyS15");
    EXPECT_TRUE(dialog.messages.isEmpty());
}

TEST(SetPortDialog, WhateverTheBoxesHoldIsStoredAsTyped) {
    TempProgramFolder folder;
    SetPortDialog dialog{PortSettings()};
    dialog.box("cmbPort")->setEditText("/dev/serial/by-id/usb-FTDI");
    dialog.box("cmbBaud")->setEditText("19200");
    dialog.box("cmbParity")->setCurrentIndex(0);
    dialog.box("cmbData")->setCurrentIndex(0);
    dialog.box("cmbStop")->setCurrentIndex(1);
    dialog.box("cmbProtocol")->setEditText("SUM ");
    dialog.press("btnOK");

    EXPECT_EQ(folder.read("Comm.CFG"),
              QByteArray("/dev/serial/by-id/usb-FTDI\r\n19200\r\nN\r\n7\r\n2\r\nSUM \r\n"));
    EXPECT_EQ(dialog.Settings().LineText(), "19200,N,7,2");
    EXPECT_EQ(dialog.Settings().ChecksumLength(), 2);
}

TEST(SetPortDialog, CancelChangesNeitherTheFileNorTheSettings) {
    TempProgramFolder folder;
    const QByteArray file("COM2\r\n2400\r\nO\r\n8\r\n1\r\nSTD\r\n");
    folder.write("Comm.CFG", file);
    const PortSettings current = LoadPortSettings(PortSettingsPath());
    SetPortDialog dialog(current);
    dialog.choosePort("COM9");
    dialog.box("cmbBaud")->setCurrentIndex(0);
    dialog.press("btnCancel");

    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(folder.read("Comm.CFG"), file);
    EXPECT_EQ(dialog.Settings(), current);
}

TEST(SetPortDialog, UnwritableCommCfgIsToldAndTheSettingsStillApply) {
    TempProgramFolder folder;
    SetProgramFolderOverride(folder.file("no-such-folder"));
    SetPortDialog dialog{PortSettings()};
    dialog.choosePort("COM2");
    dialog.press("btnOK");
    SetProgramFolderOverride(folder.path());

    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].contains("Comm.CFG"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Settings().PortName, "COM2");
}

TEST(SetPortTest, MissingDevicePathIsNamedInTheMessage) {
    TempProgramFolder folder;
    SetPortDialog dialog{PortSettings()};
    dialog.TestPort(kMissing);
    EXPECT_EQ(dialog.message(), DescribePortFault(PortFault::NoSuchPort, kMissing));
    EXPECT_TRUE(dialog.message().contains(kMissing));
}

TEST(SetPortTest, MissingComPortNamesTheDeviceItStandsFor) {
    if (QFile::exists("/dev/ttyS15")) {
        GTEST_SKIP() << "this machine has a 16th serial port";
    }
    TempProgramFolder folder;
    SetPortDialog dialog{PortSettings()};
    dialog.choosePort("COM16");
    EXPECT_TRUE(dialog.message().contains("COM16 (/dev/ttyS15)")) << dialog.message().toStdString();
}

TEST(SetPortTest, OpeningTheDialogTestsTheCurrentPort) {
    TempProgramFolder folder;
    SetPortDialog missing(withPort(kMissing));
    EXPECT_EQ(missing.message(), DescribePortFault(PortFault::NoSuchPort, kMissing));

    SetPortDialog blank(withPort(""));
    EXPECT_TRUE(blank.message().isEmpty());
}

TEST(SetPortTest, PortThatOpensClearsTheMessage) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path().isEmpty());
    TempProgramFolder folder;
    SetPortDialog dialog(withPort(kMissing));
    ASSERT_FALSE(dialog.message().isEmpty());
    dialog.TestPort(pty.path());
    EXPECT_TRUE(dialog.message().isEmpty());
}

TEST(SetPortTest, PortHeldOpenElsewhereIsReportedInUse) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.path().isEmpty());
    QSerialPort holder(pty.path());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    if (ProbePort(pty.path()) != PortFault::InUse) {
        GTEST_SKIP() << "this user may open a port another program holds (root)";
    }
    TempProgramFolder folder;
    SetPortDialog dialog{PortSettings()};
    dialog.TestPort(pty.path());
    EXPECT_EQ(dialog.message(), DescribePortFault(PortFault::InUse, pty.path()));
}

TEST(SetPortTest, TypedPathIsTestedWhenTheOperatorLeavesTheBox) {
    TempProgramFolder folder;
    SetPortDialog dialog{PortSettings()};
    QComboBox* port = dialog.box("cmbPort");
    port->setEditText(kMissing);
    emit port->lineEdit()->editingFinished();
    EXPECT_EQ(dialog.message(), DescribePortFault(PortFault::NoSuchPort, kMissing));
}
