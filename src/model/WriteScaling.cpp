#include "model/WriteScaling.h"

#include "common/NumberEntry.h"
#include "model/TextForms.h"
#include "protocol/FrameCodec.h"
#include "protocol/RegisterMap.h"

namespace zr410 {
namespace {

RegisterInfo infoOf(int address) {
    // A register the table does not know is written as a plain number.
    return FindRegister(address).value_or(
        RegisterInfo{address, {}, ScaleClass::Plain, Access::ReadWrite, ReadBlock::WriteOnly});
}

}  // namespace

std::int64_t ScaleForWrite(int address, double entered, int dp) {
    return RoundHalfEven(entered * ScaleFactor(infoOf(address).scale, ClampDecimalPlaces(dp)));
}

std::int64_t ScaleEntryForWrite(int address, QStringView text, int dp) {
    return ScaleForWrite(address, ParseLeadingNumber(text), dp);
}

QString WritableRangeText(int address, int dp) {
    const RegisterInfo info = infoOf(address);
    return RegisterText(info, kMinWordValue, dp) + QStringLiteral(" ~ ") +
           RegisterText(info, kMaxWordValue, dp);
}

}  // namespace zr410
