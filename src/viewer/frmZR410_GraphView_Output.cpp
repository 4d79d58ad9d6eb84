// Getting a file out of the viewer: print, spreadsheet export, capture; and the help page.
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPrinter>

#include "common/ProgramFolder.h"
#include "common/ShippedFiles.h"
#include "ui_frmZR410_GraphView.h"
#include "viewer/BackgroundTask.h"
#include "viewer/ChartOutput.h"
#include "viewer/ChartView.h"
#include "viewer/CsvExport.h"
#include "viewer/SpreadsheetExport.h"
#include "viewer/frmZR410_GraphView.h"

namespace zr410 {
namespace {

// Suggested names for saved output: beside the data files, named after the shown file.
QString suggestedName(const QString& folder, const QString& selectedPath, const QString& suffix) {
    const QString base = selectedPath.isEmpty() ? QStringLiteral("ZR410_Graph")
                                                : QFileInfo(selectedPath).completeBaseName();
    return QDir(folder).filePath(base + suffix);
}

}  // namespace

void frmZR410_GraphView::btnPrint_Click() {
    const PrintMarginsInches margins = MarginsFromCells(marginCells());
    QPrinter printer(QPrinter::ScreenResolution);
    PrepareChartPrinter(printer, *chart()->plot());
    QString savedPdf;
    if (!dialogs_.printerAvailable()) {
        if (!dialogs_.ask(this, QStringLiteral("인쇄"),
                          QStringLiteral("사용할 수 있는 프린터가 없습니다.\n"
                                         "그래프를 PDF 파일로 저장할까요?"))) {
            return;
        }
        savedPdf = dialogs_.chooseSaveFile(
            this, QStringLiteral("그래프를 PDF로 저장"),
            suggestedName(DataFolder(), selectedFilePath(), QStringLiteral(".pdf")),
            QStringLiteral("PDF 파일 (*.pdf)"));
        if (savedPdf.isEmpty()) {
            return;
        }
        if (QFileInfo(savedPdf).suffix().isEmpty()) {
            savedPdf += QStringLiteral(".pdf");
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(savedPdf);
    } else if (!dialogs_.printDialog(this, printer)) {
        return;
    }
    QString reason;
    if (!PrintChart(*chart()->plot(), printer, margins, &reason)) {
        dialogs_.tell(this, QStringLiteral("인쇄"), reason);
        return;
    }
    setStatus(savedPdf.isEmpty() ? QStringLiteral("그래프를 인쇄했습니다.")
                                 : QStringLiteral("그래프를 PDF로 저장했습니다: %1").arg(savedPdf),
              false);
}

void frmZR410_GraphView::btnToExcel_Click() {
    if (isBusy()) {
        return;
    }
    const QString path = selectedFilePath();
    if (path.isEmpty()) {
        dialogs_.tell(this, QStringLiteral("Excel"),
                      QStringLiteral("Excel로 보낼 파일을 먼저 파일 목록에서 고르세요."));
        return;
    }
    ui_->lblMsg->show();
    setBusy(
        true,
        QStringLiteral("%1을(를) Excel 통합 문서로 만드는 중...").arg(QFileInfo(path).fileName()));
    const QString workbook = TemporaryWorkbookPath(path);
    auto result = std::make_shared<SpreadsheetExportResult>();
    BackgroundTask* task = task_;
    task_->start(
        [result, path, workbook, task] {
            *result = ExportToSpreadsheet(path, workbook, [task](qint64 done, qint64 total) {
                return task->report(done, total);
            });
        },
        [this, result, path, workbook] {
            ui_->lblMsg->hide();
            setBusy(false, QString());
            const QString name = QFileInfo(path).fileName();
            if (result->cancelled) {
                setStatus(QStringLiteral("%1 Excel 보내기를 취소했습니다.").arg(name), false);
                return;
            }
            if (!result->ok) {
                setStatus(QStringLiteral("%1을(를) Excel 통합 문서로 만들지 못했습니다.").arg(name),
                          true);
                dialogs_.tell(this, QStringLiteral("Excel"),
                              QStringLiteral("%1을(를) Excel 통합 문서로 만들지 못했습니다.\n%2")
                                  .arg(name, result->errorText));
                return;
            }
            setStatus(
                QStringLiteral("%1: 기록 %2행을 Excel 통합 문서(시트 %3개)로 만들었습니다: %4")
                    .arg(name, QLocale(QLocale::English).toString(result->rowsWritten))
                    .arg(result->sheets)
                    .arg(QDir::toNativeSeparators(workbook)),
                false);
            QString reason;
            if (!dialogs_.openWorkbook(workbook, &reason)) {
                dialogs_.tell(this, QStringLiteral("Excel"),
                              QStringLiteral("%1\n\n통합 문서는 다음 위치에 저장되어 있습니다:\n%2")
                                  .arg(reason, QDir::toNativeSeparators(workbook)));
            }
        });
}

void frmZR410_GraphView::btnToCsv_Click() {
    if (isBusy()) {
        return;
    }
    const QString path = selectedFilePath();
    if (path.isEmpty()) {
        dialogs_.tell(this, QStringLiteral("CSV"),
                      QStringLiteral("CSV로 저장할 파일을 먼저 파일 목록에서 고르세요."));
        return;
    }
    QString target = dialogs_.chooseSaveFile(
        this, QStringLiteral("CSV 파일로 저장"),
        suggestedName(QFileInfo(path).absolutePath(), path, QStringLiteral(".csv")),
        QStringLiteral("CSV 파일 (*.csv)"));
    if (target.isEmpty()) {
        return;
    }
    if (QFileInfo(target).suffix().isEmpty()) {
        target += QStringLiteral(".csv");
    }
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) {
        // Writing over the data file being read would lose the records.
        dialogs_.tell(
            this, QStringLiteral("CSV"),
            QStringLiteral("데이터 파일 자신에는 저장할 수 없습니다. 다른 이름을 고르세요."));
        return;
    }
    setBusy(true,
            QStringLiteral("%1을(를) CSV 파일로 저장하는 중...").arg(QFileInfo(path).fileName()));
    auto result = std::make_shared<CsvExportResult>();
    BackgroundTask* task = task_;
    task_->start(
        [result, path, target, task] {
            *result = ExportToCsv(path, target, [task](qint64 done, qint64 total) {
                return task->report(done, total);
            });
        },
        [this, result, path, target] {
            setBusy(false, QString());
            const QString name = QFileInfo(path).fileName();
            if (result->cancelled) {
                setStatus(QStringLiteral("%1 CSV 저장을 취소했습니다.").arg(name), false);
                return;
            }
            if (!result->ok) {
                setStatus(QStringLiteral("%1을(를) CSV 파일로 저장하지 못했습니다.").arg(name),
                          true);
                dialogs_.tell(this, QStringLiteral("CSV"),
                              QStringLiteral("%1을(를) CSV 파일로 저장하지 못했습니다.\n%2\n%3")
                                  .arg(name, QDir::toNativeSeparators(target), result->errorText));
                return;
            }
            setStatus(QStringLiteral("%1: 기록 %2행을 CSV 파일로 저장했습니다: %3")
                          .arg(name, QLocale(QLocale::English).toString(result->rowsWritten),
                               QDir::toNativeSeparators(target)),
                      false);
        });
}

void frmZR410_GraphView::Command1_Click() {
    const QImage image = CaptureWidget(*chart()->plot());
    QGuiApplication::clipboard()->setImage(image);
    QString file = dialogs_.chooseSaveFile(
        this, QStringLiteral("현재 그래프 저장"),
        suggestedName(DataFolder(), selectedFilePath(), QStringLiteral(".bmp")),
        QStringLiteral("BMP FILES(*.BMP *.bmp)"));
    if (file.isEmpty()) {
        setStatus(QStringLiteral("그래프를 클립보드에 복사했습니다."), false);
        return;
    }
    file = WithBmpSuffix(file);
    if (!SaveCaptureAsBmp(image, file)) {
        setStatus(QStringLiteral("그래프를 클립보드에 복사했지만 파일로 저장하지 못했습니다."),
                  true);
        dialogs_.tell(this, QStringLiteral("현재 그래프 저장"),
                      QStringLiteral("BMP 파일을 저장하지 못했습니다.\n%1\n"
                                     "폴더가 있는지, 쓰기 권한이 있는지 확인해 주세요.")
                          .arg(QDir::toNativeSeparators(file)));
        return;
    }
    setStatus(QStringLiteral("그래프를 클립보드에 복사하고 %1에 저장했습니다.")
                  .arg(QDir::toNativeSeparators(file)),
              false);
}

void frmZR410_GraphView::Command2_Click() {
    dialogs_.shellOpen(HelpFile(QStringLiteral("ZR410_Graph_V100.html")), ExecutableFolder(), this);
}

}  // namespace zr410
