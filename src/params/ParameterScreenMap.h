#pragma once

#include <array>
#include <span>

// What each control of the parameter screen stands for: the register it shows and writes, its
// name and its captions. The window builds its controls from these tables and the refresh and
// the edit paths look registers up here, so the screen holds no register fact of its own.
namespace zr410 {

// An option group: option k selected means the register holds k; clicking it writes k.
struct OptionGroupInfo {
    const char* name;  // objectName of the group; its options are name_0, name_1, ...
    int address;
    const char* label;  // the frame or row label the group stands under
    std::array<const char*, 3> captions;
    int count;
    const char* spoken = nullptr;  // what a screen reader says for the label, when not label
};

enum class OptionGroupId {
    CtrlMode,
    OutC,
    OutH,
    Sens1,
    Sens2,
    Sens3,
    Sens4,
    DP,
    TUnit,
    Option1,
    Option2,
    RMode,
};
inline constexpr int kOptionGroupCount = 12;
const OptionGroupInfo& OptionGroup(OptionGroupId id);

// A text field: a confirmed entry writes the number scaled the way the register is shown.
struct TextFieldInfo {
    const char* name;
    int address;
    const char* label;  // accessible name: the frame and the caption beside the field
};

enum class TextFieldId {
    PRS0,
    PRS1,
    TempH,
    TempL,
    RevTemp0,
    RevTemp1,
    RevTemp2,
    RevTemp3,
    PreSV,
    FillTM
};
inline constexpr int kTextFieldCount = 10;
const TextFieldInfo& TextField(TextFieldId id);

// The four grids and their data cells; column and row count from 1, as the grids number
// them (row 0 and column 0 are the headers).
enum class ParamGridId { CTRL, LimitVal, ResevedT, Time_SE };

struct GridCellInfo {
    ParamGridId grid;
    int column;
    int row;              // 0 for the one-row grids: any data row
    int address;          // for a time cell the hour register; the minute register follows it
    const char* caption;  // caption of the edit dialog
    bool time;            // edited with the time dialog
};

std::span<const GridCellInfo> GridCells();
// The cell a click on (column, row) edits; nullptr for headers, the unit and separator
// columns and anything else that opens no dialog.
const GridCellInfo* FindGridCell(ParamGridId grid, int column, int row);

// Column of the value table that holds a register of the parameter or reservation block; -1
// for a register neither block reads (the control mode is only ever written).
int ScreenColumn(int address);

// Weekly run days: box i stands for bit i, Sunday first.
inline constexpr int kWeekdayCount = 7;

}  // namespace zr410
