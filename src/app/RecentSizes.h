#pragma once
// The recent sheet sizes, newest first, up to ten, and the size box that offers them: an editable
// combo box whose entries read "width height". The list lives in appState.recentSizes.

#include "platform/DialogItems.h"

#include <cstdint>

inline constexpr int RecentSizeSlots = 10;

struct RecentSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Up to ten sheet sizes, slot 0 the newest, and the index of the one selected in the size box.
struct RecentSizes {
    RecentSize entries[RecentSizeSlots] = {};
    int32_t count = 0;    // 0 to 10; slots from count on carry no meaning
    int32_t lastUsed = 0; // 0 to count - 1, or 0 when the list is empty
};

// Empties the size box, adds every recent size in order and selects the one last used, which
// also puts its text in the edit part. With no recent sizes nothing is selected and the edit part
// stays empty.
void FillSizeBox(Dialog* dialog, int32_t id);

// Records a size that has just been packed and shows it as the size box's selection. A size
// already listed is only selected, neither moved nor added again; a new one goes first, the
// tenth of a full list dropping out. Either way the edit part ends up holding the size's
// "width height" text, whatever separator was typed.
void RememberSize(Dialog* dialog, int32_t id, int32_t width, int32_t height);
