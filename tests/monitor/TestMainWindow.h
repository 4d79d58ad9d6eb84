#pragma once

#include <QDialog>
#include <QStringList>

#include "monitor/frmZR410_Main.h"

// The main window with its message boxes and modal dialogs answered by the test.
class TestMainWindow : public zr410::frmZR410_Main {
public:
    QStringList messages;
    // What a modal dialog should do when it opens: accept, reject, or a custom step.
    std::function<int(QDialog&)> onDialog = [](QDialog&) { return int(QDialog::Rejected); };
    QStringList dialogsOpened;

protected:
    void ShowMessage(const QString& text) override { messages << text; }
    int ExecDialog(QDialog& dialog) override {
        dialogsOpened << dialog.objectName();
        return onDialog(dialog);
    }
};
