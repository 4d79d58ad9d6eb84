#pragma once

#include <QString>

#include <array>
#include <functional>

namespace zr410 {

// Column letters of a sheet: 1 A, 26 Z, 27 AA, 52 AZ, 53 BA, 702 ZZ, 703 AAA.
QString ColumnLetter(int n);

// A sheet holds 1,048,576 rows; the first is the header.
inline constexpr qint64 kSheetDataRows = 1'048'575;

// "저장일자", "저장시간", "금형온도", "매체온도", "회수온도", "급수온도", "압력", "SV".
const std::array<QString, 8>& ExportHeaders();

struct SpreadsheetExportResult {
    bool ok = false;
    bool cancelled = false;
    QString errorText;
    qint64 rowsWritten = 0;  // data rows, headers not counted
    int sheets = 0;
    qint64 linesSkipped = 0;  // lines that are no record (binary, blank, torn)
};

// Called now and then with bytes read and the file size; returning false cancels.
using ExportProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes the data file as an .xlsx workbook: sheet "Graph Data" with the eight headers in row 1
// and one record per row from row 2. Dates become date cells, times time cells and numbers
// number cells keeping their decimals; other texts stay texts. Past rowsPerSheet records the
// rows continue on "Graph Data 2", "Graph Data 3", each with the headers again. Memory stays
// constant however long the file. A cancelled or failed export leaves no workbook behind.
SpreadsheetExportResult ExportToSpreadsheet(const QString& dataPath, const QString& workbookPath,
                                            const ExportProgress& progress = {},
                                            qint64 rowsPerSheet = kSheetDataRows);

// A fresh path in the temporary folder, named after the data file. Workbooks of earlier exports
// older than a day are removed there, so repeated exports do not fill the disk.
QString TemporaryWorkbookPath(const QString& dataPath);

}  // namespace zr410
