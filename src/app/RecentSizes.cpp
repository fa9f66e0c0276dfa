#include "app/RecentSizes.h"

#include "app/AppState.h"

#include <algorithm>
#include <cstdio>

namespace {

// Empties the size box and lists the recent sizes, slot 0 first, as "%d %d".
void ListSizes(Dialog* dialog, int32_t id) {
    const RecentSizes& recent = appState.recentSizes;
    ComboResetContent(dialog, id);
    for (int32_t i = 0; i < recent.count; ++i) {
        char text[24]; // two int32_t, a blank and the terminating zero
        std::snprintf(text, sizeof text, "%d %d", recent.entries[i].width,
                      recent.entries[i].height);
        ComboAddString(dialog, id, text);
    }
}

} // namespace

void FillSizeBox(Dialog* dialog, int32_t id) {
    ListSizes(dialog, id);
    ComboSetCurSel(dialog, id, appState.recentSizes.lastUsed);
}

void RememberSize(Dialog* dialog, int32_t id, int32_t width, int32_t height) {
    RecentSizes& recent = appState.recentSizes;
    for (int32_t i = 0; i < recent.count; ++i) {
        if (recent.entries[i].width == width && recent.entries[i].height == height) {
            recent.lastUsed = i;
            ComboSetCurSel(dialog, id, i);
            return;
        }
    }
    // All ten slots move down whatever the count, so a full list drops its last entry.
    std::copy_backward(recent.entries, recent.entries + RecentSizeSlots - 1,
                       recent.entries + RecentSizeSlots);
    recent.entries[0] = {width, height};
    recent.count = std::min(recent.count + 1, RecentSizeSlots);
    ListSizes(dialog, id);
    recent.lastUsed = 0;
    ComboSetCurSel(dialog, id, 0);
}
