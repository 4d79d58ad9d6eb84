#pragma once

#include <array>

namespace zr410 {

// Captions of the eight command buttons, in the order of the command registers (PWR first):
// the main window's buttons and the run table's button columns show the same words.
inline constexpr std::array<const char*, 8> kCommandCaptions = {
    "PWR", "RUN", "AT", "PREH", "SUCTION", "COOL", "MOLD", "BUZZER"};

}  // namespace zr410
