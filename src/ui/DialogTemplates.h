#pragma once
// The program's two dialogs as templates: the main dialog and the preview ("PREVIEW").

#include "platform/DialogTemplate.h"

#include <cstdint>

// Control ids the procedures address.
inline constexpr int32_t PackButton = IDOK, ExitButton = IDCANCEL;
inline constexpr int32_t SizeBox = 1000, BackgroundList = 1001, OpenButton = 1002;
inline constexpr int32_t SaveFormatBox = 1003, NoMarginCheckBox = 1005;
inline constexpr int32_t DistanceEdit = 1012, MarginEdit = 1013, SourceSizeLabel = 1015;
inline constexpr int32_t HintStrip = 1020;
// The print choices, after the others: resolution, paper, landscape, cut guides, turned copies,
// and what they tell before packing.
inline constexpr int32_t DpiEdit = 1030, PaperList = 1031, LandscapeCheckBox = 1032;
inline constexpr int32_t CutGuidesCheckBox = 1033, TurnCopiesCheckBox = 1034;
inline constexpr int32_t SourceMillimetresLabel = 1035, CopyCountLabel = 1036;
inline constexpr int32_t SaveButton = IDOK, CloseButton = IDCANCEL, PrintButton = 1040;

extern const DialogTemplate MainDialogTemplate;
extern const DialogTemplate PreviewDialogTemplate;
