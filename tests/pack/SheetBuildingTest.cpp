#include "pack/SheetBuilding.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(BuildSheet, RefusalsAndSheetsWhoseMemoryCannotBeHadLeaveNoneAndPackingGoesOn) {
    PackedDib source = MakePicture(600, 400);
    // With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
    // formats allow) cannot be had, nor one of 2.7 GB; the next, of 2000 x 1700 (10 MB), is
    // composed all the same.
    int status = RunInChild([&source] {
        LimitAddressSpace(64 << 20);
        PackParameters parameters{639, 1700, 50, 20, 1, 0};
        BuiltSheet built = BuildSheet(source, parameters);
        if (built.verdict != LayoutVerdict::SourceTooLarge || built.sheet.block != nullptr)
            return 1;
        for (int32_t side : {8000, 30000}) {
            parameters.sheetWidth = parameters.sheetHeight = side;
            built = BuildSheet(source, parameters);
            if (built.verdict != LayoutVerdict::Fits || built.sheet.block != nullptr)
                return 2;
        }
        parameters.sheetWidth = 2000;
        parameters.sheetHeight = 1700;
        built = BuildSheet(source, parameters);
        if (built.verdict != LayoutVerdict::Fits || built.sheet.block == nullptr ||
            built.sheet.blockBytes != 10200040)
            return 3;
        return 0;
    });
    EXPECT_EQ(status, 0);
    ReleaseDib(source);
}

} // namespace
