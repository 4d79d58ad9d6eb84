#pragma once

#include <QString>

#include "viewer/SpreadsheetExport.h"

namespace zr410 {

struct CsvExportResult {
    bool ok = false;
    bool cancelled = false;
    QString errorText;
    qint64 rowsWritten = 0;   // records, the header line not counted
    qint64 linesSkipped = 0;  // lines that are no record (binary, blank, torn)
};

// Writes the data file as comma-separated text for tools that do not read workbooks: UTF-8
// without a byte-order mark, CR LF line ends, a header line, then one line per record with the
// record's date and time joined into one ISO 8601 field ("2024-05-17T14:03:25") and the six
// values as the file gives them ("25.0", "--"; a missing value is empty). A date or time that
// is not one stays as recorded. Fields holding a comma, quote or line end are quoted. Memory
// stays constant however long the file; a cancelled or failed export leaves no file behind and
// an existing file of that name untouched.
CsvExportResult ExportToCsv(const QString& dataPath, const QString& csvPath,
                            const ExportProgress& progress = {});

}  // namespace zr410
