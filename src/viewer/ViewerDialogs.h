#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace zr410 {

// Everything the viewer asks of the desktop: the system dialogs, the printer and opening files.
// The window calls these instead of the dialogs themselves, so tests can answer in their place.
struct ViewerDialogs {
    // Platform folder dialog; empty on Cancel.
    std::function<QString(QWidget* parent, const QString& start)> chooseFolder;
    // System colour dialog; an invalid colour on Cancel.
    std::function<QColor(QWidget* parent, const QColor& initial, const QString& title)>
        chooseColour;
    // Save dialog; empty on Cancel.
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                          const QString& filter)>
        chooseSaveFile;
    // Yes/No question; true for Yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> ask;
    // Message with an OK button.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> tell;
    // Whether the system knows any printer.
    std::function<bool()> printerAvailable;
    // The print dialog; true when the operator chose to print.
    std::function<bool(QWidget* parent, QPrinter& printer)> printDialog;
    // Opens a workbook with the desktop's spreadsheet application; false with a reason.
    std::function<bool(const QString& workbook, QString* reason)> openWorkbook;
    // The shared shell-open routine (help pages).
    std::function<bool(const QString& target, const QString& folder, QWidget* parent)> shellOpen;

    static ViewerDialogs Platform();
};

}  // namespace zr410
