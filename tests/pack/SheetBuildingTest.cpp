#include "pack/SheetBuilding.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
// formats allow) cannot be had, nor one of 2.7 GB; the next, of 2000 x 1700 (10 MB), is composed
// all the same. A layout that does not fit composes nothing.
TEST(BuildSheet, SheetsWhoseMemoryCannotBeHadLeaveNoneAndPackingGoesOn) {
    PackedDib source = MakePicture(600, 400);
    EXPECT_EQ(RunInChild([&source] {
                  LimitAddressSpace(64 << 20);
                  const std::tuple<int32_t, int32_t, LayoutVerdict> sheets[] = {
                      {639, 1700, LayoutVerdict::SourceTooLarge},
                      {8000, 8000, LayoutVerdict::Fits},
                      {30000, 30000, LayoutVerdict::Fits},
                      {2000, 1700, LayoutVerdict::Fits}};
                  int failed = 0;
                  for (const auto& [width, height, verdict] : sheets) {
                      BuiltSheet built = BuildSheet(source, {width, height, 50, 20, 1, 0});
                      failed |= built.verdict != verdict ||
                                built.sheet.blockBytes != (width == 2000 ? 10200040 : 0);
                      ReleaseDib(built.sheet);
                  }
                  return failed;
              }),
              0);
    ReleaseDib(source);
}

} // namespace
