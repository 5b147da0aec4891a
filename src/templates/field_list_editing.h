// Which row the Down and Up buttons exchange the selected row with, and whether
// Delete acts: -1 / false when the button does nothing. `selected` is -1 when no
// row is selected.
#pragma once

namespace tabulon {

inline bool canDeleteRow(int selected, int count) {
    return selected >= 0 && selected < count;
}
inline int rowBelow(int selected, int count) {
    return selected >= 0 && selected < count - 1 ? selected + 1 : -1;
}
inline int rowAbove(int selected, int count) {
    return selected > 0 && selected < count ? selected - 1 : -1;
}

}  // namespace tabulon
