#include "viewer/LoadStatusText.h"

#include <QLocale>

namespace zr410 {
namespace {

QString count(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}

QString kindText(DataLineKind kind) {
    switch (kind) {
        case DataLineKind::Record:
            return QStringLiteral("기록");
        case DataLineKind::ShortRecord:
            return QStringLiteral("필드 부족");
        case DataLineKind::Empty:
            return QStringLiteral("빈 줄");
        case DataLineKind::NotARecord:
            return QStringLiteral("기록 형식이 아님");
        case DataLineKind::Binary:
            return QStringLiteral("이진 데이터");
        case DataLineKind::Overlong:
            return QStringLiteral("너무 긴 줄");
        case DataLineKind::Incomplete:
            return QStringLiteral("쓰는 중인 마지막 줄");
    }
    return QString();
}

const DataLineIssue* firstIssue(const DataFileLoadResult& result, bool shortOnes) {
    for (const DataLineIssue& issue : result.firstIssues) {
        if ((issue.kind == DataLineKind::ShortRecord) == shortOnes) {
            return &issue;
        }
    }
    return nullptr;
}

QString lineNotes(const DataFileLoadResult& result) {
    QString text;
    if (result.linesSkipped > 0) {
        text +=
            QStringLiteral(" 기록이 아닌 줄 %1개는 건너뛰었습니다").arg(count(result.linesSkipped));
        if (const DataLineIssue* issue = firstIssue(result, false)) {
            text += QStringLiteral(" (처음: %1번째 줄, %2)")
                        .arg(count(issue->lineNumber), kindText(issue->kind));
        }
        text += QLatin1Char('.');
    }
    if (result.shortRecords > 0) {
        text += QStringLiteral(" 필드가 8개보다 적은 줄 %1개는 없는 값을 0으로 읽었습니다")
                    .arg(count(result.shortRecords));
        if (const DataLineIssue* issue = firstIssue(result, true)) {
            text += QStringLiteral(" (처음: %1번째 줄)").arg(count(issue->lineNumber));
        }
        text += QLatin1Char('.');
    }
    return text;
}

}  // namespace

bool IsLoadFailure(const DataFileLoadResult& result) {
    return result.status != DataFileStatus::Ok || result.recordsRead == 0;
}

QString DescribeLoadResult(const QString& fileName, const DataFileLoadResult& result) {
    switch (result.status) {
        case DataFileStatus::Missing:
            return QStringLiteral(
                       "%1 파일이 없습니다. 지워졌거나 이름이 바뀌었습니다. "
                       "파일 목록을 다시 읽습니다.")
                .arg(fileName);
        case DataFileStatus::Unreadable:
            return QStringLiteral(
                       "%1 파일을 열 수 없습니다 (%2). 다른 프로그램이 잠갔거나 "
                       "읽기 권한이 없습니다.")
                .arg(fileName, result.errorText);
        case DataFileStatus::Cancelled:
            return QStringLiteral("%1 불러오기를 취소했습니다.").arg(fileName);
        case DataFileStatus::TooLarge:
        case DataFileStatus::OutOfMemory:
            return QStringLiteral("%1 파일이 너무 커서 불러올 수 없습니다.").arg(fileName);
        case DataFileStatus::ReadError:
            return QStringLiteral(
                       "%1 파일을 읽다가 오류가 났습니다 (%2). 그때까지 읽은 기록 "
                       "%3개를 보여 줍니다.")
                       .arg(fileName, result.errorText, count(result.recordsRead)) +
                   lineNotes(result);
        case DataFileStatus::Ok:
            break;
    }
    if (result.recordsRead == 0) {
        if (result.linesSkipped == 0) {
            return QStringLiteral("%1: 빈 파일입니다. 보여 줄 기록이 없습니다.").arg(fileName);
        }
        return QStringLiteral("%1: 보여 줄 기록이 없습니다.").arg(fileName) + lineNotes(result);
    }
    return QStringLiteral("%1: 기록 %2개를 불러왔습니다.")
               .arg(fileName, count(result.recordsRead)) +
           lineNotes(result);
}

}  // namespace zr410
