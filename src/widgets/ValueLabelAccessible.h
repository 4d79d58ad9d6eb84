#pragma once

namespace zr410 {

// Labels that carry a fixed accessible name ("금형온도 값") also tell assistive tools what
// they show: the shown text is their description and their value, so a screen reader says
// "금형온도 값, 85.4 ℃" while tests and automation still find the label by its stable name.
// A label without an accessible name keeps Qt's behaviour (its text is its name). Installed
// once for the whole program; windows that have value labels call it.
void InstallValueLabelAccessibility();

}  // namespace zr410
