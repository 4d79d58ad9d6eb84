#include "protocol/RegisterMap.h"

#include <algorithm>

namespace zr410 {
namespace {

using S = ScaleClass;
using A = Access;
using B = ReadBlock;

constexpr RegisterInfo kRegisters[] = {
    // Measured values and status
    {1, "금형온도", S::Temperature, A::Read, B::Status},
    {2, "매체온도", S::Temperature, A::Read, B::Status},
    {3, "회수온도", S::Temperature, A::Read, B::Status},
    {4, "급수온도", S::Temperature, A::Read, B::Status},
    {5, "압력", S::Pressure, A::Read, B::Status},
    {6, "STATUS", S::Bits, A::Read, B::Status},
    {8, "요일", S::Plain, A::Read, B::Status},
    {9, "년", S::Plain, A::Read, B::Status},
    {10, "월", S::Plain, A::Read, B::Status, 0, 2},
    {11, "일", S::Plain, A::Read, B::Status, 0, 2},
    {12, "시", S::Plain, A::Read, B::Status, 0, 2},
    {13, "분", S::Plain, A::Read, B::Status, 0, 2},
    {14, "초", S::Plain, A::Read, B::Status, 0, 2},
    {16, "남은 예약 시", S::Plain, A::Read, B::Status},
    {17, "남은 예약 분", S::Plain, A::Read, B::Status},
    {19, "예약 요일", S::Plain, A::Read, B::Status},
    {201, "가열출력값", S::Plain, A::Read, B::Status},
    {202, "냉각출력값", S::Plain, A::Read, B::Status},
    {207, "R상 전류값", S::Plain, A::Read, B::Status},
    {208, "S상 전류값", S::Plain, A::Read, B::Status},
    {209, "T상 전류값", S::Plain, A::Read, B::Status},
    // Commands and set value
    {101, "POWER ON/OFF", S::Plain, A::ReadWrite, B::Status},
    {102, "RUN/STOP", S::Plain, A::ReadWrite, B::Status},
    {103, "AT ON/OFF", S::Plain, A::ReadWrite, B::Status},
    {104, "PREH/STOP", S::Plain, A::ReadWrite, B::Status},
    {105, "SUCTION ON/OFF", S::Plain, A::ReadWrite, B::Status},
    {106, "COOL ON/OFF", S::Plain, A::ReadWrite, B::Status},
    {107, "MOLD ON/OFF", S::Plain, A::ReadWrite, B::Status},
    {108, "BUZZER", S::Plain, A::ReadWrite, B::Status},
    {115, "SV", S::Temperature, A::ReadWrite, B::Status, 60.0},
    {200, "제어모드", S::Plain, A::Write, B::WriteOnly},
    // Parameters
    {300, "냉각출력", S::Plain, A::ReadWrite, B::Parameter, 1},
    {301, "가열출력", S::Plain, A::ReadWrite, B::Parameter, 1},
    {304, "온도 상한경보값", S::Temperature, A::ReadWrite, B::Parameter, 120.0},
    {305, "온도 하한경보값", S::Temperature, A::ReadWrite, B::Parameter, 10.0},
    {306, "압력 상한경보값", S::Pressure, A::ReadWrite, B::Parameter, 6.0},
    {307, "압력 하한경보값", S::Pressure, A::ReadWrite, B::Parameter, 0.5},
    {308, "전류 상한경보값", S::Current, A::ReadWrite, B::Parameter, 30.0},
    {309, "전류 하한경보값", S::Current, A::ReadWrite, B::Parameter, 0.0},
    {400, "가열측 P", S::Temperature, A::ReadWrite, B::Parameter, 10.0},
    {401, "가열측 I", S::Plain, A::ReadWrite, B::Parameter, 120},
    {402, "가열측 D", S::Plain, A::ReadWrite, B::Parameter, 30},
    {403, "가열측 제어주기", S::Plain, A::ReadWrite, B::Parameter, 2},
    {405, "냉각측 P", S::Temperature, A::ReadWrite, B::Parameter, 15.0},
    {406, "냉각측 I", S::Plain, A::ReadWrite, B::Parameter, 60},
    {407, "냉각측 D", S::Plain, A::ReadWrite, B::Parameter, 15},
    {408, "냉각측 제어주기", S::Plain, A::ReadWrite, B::Parameter, 4},
    {500, "금형센서", S::Plain, A::ReadWrite, B::Parameter, 0},
    {501, "매체센서", S::Plain, A::ReadWrite, B::Parameter, 0},
    {502, "회수센서", S::Plain, A::ReadWrite, B::Parameter, 1},
    {503, "급수센서", S::Plain, A::ReadWrite, B::Parameter, 1},
    {504, "상한온도", S::Temperature, A::ReadWrite, B::Parameter, 180.0},
    {505, "하한온도", S::Temperature, A::ReadWrite, B::Parameter, 0.0},
    {506, "소수점", S::Plain, A::ReadWrite, B::Parameter, 1},
    {507, "섭씨/화씨", S::Plain, A::ReadWrite, B::Parameter, 0},
    {508, "금형 온도보정", S::Temperature, A::ReadWrite, B::Parameter, 0},
    {509, "매체 온도보정", S::Temperature, A::ReadWrite, B::Parameter, 0},
    {510, "회수 온도보정", S::Temperature, A::ReadWrite, B::Parameter, 0},
    {511, "급수 온도보정", S::Temperature, A::ReadWrite, B::Parameter, 0},
    {512, "예열SV", S::Temperature, A::ReadWrite, B::Parameter, 40.0},
    {513, "20㎃의 압력", S::Plain, A::ReadWrite, B::Parameter, 10},
    {514, "4㎃의 압력", S::Plain, A::ReadWrite, B::Parameter, 0},
    {600, "SUCTION 옵션", S::Plain, A::ReadWrite, B::Parameter, 0},
    {601, "COOL 옵션", S::Plain, A::ReadWrite, B::Parameter, 0},
    {618, "매체보충시간", S::Plain, A::ReadWrite, B::Parameter, 30},
    // Reservation and clock
    {602, "예약모드", S::Plain, A::ReadWrite, B::Reservation, 0},
    {604, "요일 설정", S::Plain, A::Write, B::WriteOnly},
    {605, "년 설정", S::Plain, A::Write, B::WriteOnly},
    {606, "월 설정", S::Plain, A::Write, B::WriteOnly},
    {607, "일 설정", S::Plain, A::Write, B::WriteOnly},
    {608, "시 설정", S::Plain, A::Write, B::WriteOnly},
    {609, "분 설정", S::Plain, A::Write, B::WriteOnly},
    {610, "주간운전", S::Bits, A::ReadWrite, B::Reservation, 0b0111110},
    {611, "주간예약 시작 시", S::Plain, A::ReadWrite, B::Reservation, 8},
    {612, "주간예약 시작 분", S::Plain, A::ReadWrite, B::Reservation, 0},
    {613, "주간예약 종료 시", S::Plain, A::ReadWrite, B::Reservation, 17},
    {614, "주간예약 종료 분", S::Plain, A::ReadWrite, B::Reservation, 30},
    {615, "시간예약 시간", S::Plain, A::ReadWrite, B::Reservation, 2},
    {616, "시간예약 분", S::Plain, A::ReadWrite, B::Reservation, 30},
    // Error history
    {700, "에러 1", S::Plain, A::Read, B::ErrorHistory},
    {701, "에러 2", S::Plain, A::Read, B::ErrorHistory},
    {702, "에러 3", S::Plain, A::Read, B::ErrorHistory},
    {703, "에러 4", S::Plain, A::Read, B::ErrorHistory},
    {704, "에러 5", S::Plain, A::Read, B::ErrorHistory},
    {705, "에러 6", S::Plain, A::Read, B::ErrorHistory},
    {706, "에러 7", S::Plain, A::Read, B::ErrorHistory},
    {707, "에러 8", S::Plain, A::Read, B::ErrorHistory},
    {708, "에러 9", S::Plain, A::Read, B::ErrorHistory},
    {709, "에러 10", S::Plain, A::Read, B::ErrorHistory},
    {710, "에러 11", S::Plain, A::Read, B::ErrorHistory},
    {711, "에러 12", S::Plain, A::Read, B::ErrorHistory},
    {712, "에러 13", S::Plain, A::Read, B::ErrorHistory},
    {713, "에러 14", S::Plain, A::Read, B::ErrorHistory},
    {714, "에러 15", S::Plain, A::Read, B::ErrorHistory},
    {715, "에러 16", S::Plain, A::Read, B::ErrorHistory},
    {716, "에러 17", S::Plain, A::Read, B::ErrorHistory},
    {717, "에러 18", S::Plain, A::Read, B::ErrorHistory},
    {718, "에러 19", S::Plain, A::Read, B::ErrorHistory},
    {719, "에러 20", S::Plain, A::Read, B::ErrorHistory},
};

}  // namespace

std::span<const RegisterInfo> AllRegisters() {
    return kRegisters;
}

double ScaleFactor(ScaleClass scale, int dp) {
    switch (scale) {
        case ScaleClass::Temperature: {
            double factor = 1.0;
            for (int i = 0; i < dp; ++i) {
                factor *= 10.0;
            }
            return factor;
        }
        case ScaleClass::Pressure:
            return 100.0;
        case ScaleClass::Current:
            return 10.0;
        case ScaleClass::Plain:
        case ScaleClass::Bits:
            break;
    }
    return 1.0;
}

int PositionIn(std::span<const int> list, int address) {
    const auto it = std::find(list.begin(), list.end(), address);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

std::optional<RegisterInfo> FindRegister(int address) {
    const auto* it =
        std::find_if(std::begin(kRegisters), std::end(kRegisters),
                     [address](const RegisterInfo& r) { return r.address == address; });
    if (it == std::end(kRegisters)) {
        return std::nullopt;
    }
    return *it;
}

}  // namespace zr410
