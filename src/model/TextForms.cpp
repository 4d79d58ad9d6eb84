#include "model/TextForms.h"

#include <algorithm>
#include <cstdlib>

namespace zr410 {

const std::array<const char*, 7> WeekdayNames = {"일", "월", "화", "수", "목", "금", "토"};

const std::array<const char*, 15> ErrorNames = {
    "입력 오버",        "입력 오픈",   "RJC 에러",   "AT 에러",   "ADC 에러",
    "전원 에러",        "EEPROM 에러", "Calib 에러", "보드 에러", "펌프 정동작 오버",
    "펌프 역동작 오버", "압력 오버",   "온도 오버",  "전류 오버", "히터 오버"};

int ClampDecimalPlaces(int dp) {
    return std::clamp(dp, 0, kMaxDecimalPlaces);
}

QString DecimalPattern(int dp) {
    dp = ClampDecimalPlaces(dp);
    if (dp < 1) {
        return QStringLiteral("0");
    }
    return QStringLiteral("0.") + QString(dp, QLatin1Char('0'));
}

QString ScaledText(int raw, int dp) {
    dp = ClampDecimalPlaces(dp);
    const long long magnitude = std::llabs(static_cast<long long>(raw));
    QString text = raw < 0 ? QStringLiteral("-") : QString();
    if (dp == 0) {
        return text + QString::number(magnitude);
    }
    long long divisor = 1;
    for (int i = 0; i < dp; ++i) {
        divisor *= 10;
    }
    text += QString::number(magnitude / divisor);
    text += QLatin1Char('.');
    text += QStringLiteral("%1").arg(magnitude % divisor, dp, 10, QLatin1Char('0'));
    return text;
}

QString IntegerText(int value) {
    return QString::number(value);
}

QString TwoDigitText(int value) {
    const QString digits = QStringLiteral("%1").arg(std::llabs(static_cast<long long>(value)), 2,
                                                    10, QLatin1Char('0'));
    return value < 0 ? QStringLiteral("-") + digits : digits;
}

QString RegisterText(const RegisterInfo& info, int raw, int dp) {
    switch (info.scale) {
        case ScaleClass::Temperature:
            return ScaledText(raw, dp);
        case ScaleClass::Pressure:
            return ScaledText(raw, 2);
        case ScaleClass::Current:
            return ScaledText(raw, 1);
        case ScaleClass::Plain:
        case ScaleClass::Bits:
            break;
    }
    return info.minDigits >= 2 ? TwoDigitText(raw) : IntegerText(raw);
}

QString TempUnitText(int unitCode) {
    return unitCode > 0 ? QStringLiteral("℉") : QStringLiteral("℃");
}

QString WeekdayName(int value) {
    if (value < 0 || value >= static_cast<int>(WeekdayNames.size())) {
        return QStringLiteral("?");
    }
    return QString::fromUtf8(WeekdayNames[value]);
}

QString ErrorName(int code) {
    if (code < 1 || code > static_cast<int>(ErrorNames.size())) {
        return QStringLiteral("알 수 없는 에러 (코드 %1)").arg(code);
    }
    return QString::fromUtf8(ErrorNames[code - 1]);
}

}  // namespace zr410
