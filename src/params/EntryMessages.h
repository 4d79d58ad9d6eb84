#pragma once

#include <QString>

class QWidget;

namespace zr410 {

// What an edit window says when OK finds an entry missing.
inline constexpr const char* kEnterNewValue = "변경값을 입력하시오.";

// Why an entry was not written: its word lies outside what a frame can carry.
QString OutOfRangeText(int address, const QString& entry, int dp);

// A message box as every edit window shows it: the program's title, no icon, only OK.
void ShowEntryMessage(QWidget* parent, const QString& text);

}  // namespace zr410
