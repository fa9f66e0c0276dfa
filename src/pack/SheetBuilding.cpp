#include "pack/SheetBuilding.h"

#include "image/Orientation.h"
#include "image/SaveFormats.h"
#include "pack/SheetCompositor.h"

namespace {

LayoutVerdict LayOut(int32_t w, int32_t h, const PackParameters& parameters, SheetLayout* layout) {
    return ComputeLayout(parameters.sheetWidth, parameters.sheetHeight, w, h, parameters.distance,
                         parameters.marginOn, parameters.margin, layout);
}

int64_t Copies(LayoutVerdict verdict, const SheetLayout& layout) {
    return verdict == LayoutVerdict::Fits ? int64_t{layout.columns} * layout.rows : 0;
}

// The copies a sheet shows: the layout's verdict and, after Fits, the grid and the picture its
// copies show. That is the source as it stands or, with turnCopies where a quarter turn fits
// strictly more copies, the source turned clockwise (its top to the right), held in `turned`,
// which the caller releases; its block is null when its memory could not be had.
struct SheetCopies {
    LayoutVerdict verdict = LayoutVerdict::BadSource;
    SheetLayout layout{};
    bool isTurned = false;
    PackedDib turned;
};

SheetCopies PlanCopies(const PackedDib& source, const PackParameters& parameters) {
    SheetCopies copies;
    if (!IsPackablePicture(source))
        return copies;
    int32_t w = ImageWidth(source.block), h = ImageHeight(source.block);
    copies.verdict = LayOut(w, h, parameters, &copies.layout);
    if (parameters.turnCopies) {
        SheetLayout turnedLayout{};
        LayoutVerdict turnedVerdict = LayOut(h, w, parameters, &turnedLayout);
        if (Copies(turnedVerdict, turnedLayout) > Copies(copies.verdict, copies.layout)) {
            copies = {LayoutVerdict::Fits, turnedLayout, true, TurnedQuarterClockwise(source)};
        }
    }
    return copies;
}

// The writers' row source: the rows the recipe gives, composed where the writer asks.
void ComposeRequestedRows(const void* recipe, int32_t first, int32_t count, uint8_t* rows) {
    ComposeSheetRows(*static_cast<const SheetRecipe*>(recipe), first, int64_t{first} + count, rows);
}

} // namespace

CopyCounts CountCopies(int32_t sourceWidth, int32_t sourceHeight,
                       const PackParameters& parameters) {
    SheetLayout upright{}, turned{};
    LayoutVerdict uprightVerdict = LayOut(sourceWidth, sourceHeight, parameters, &upright);
    LayoutVerdict turnedVerdict = LayOut(sourceHeight, sourceWidth, parameters, &turned);
    return {Copies(uprightVerdict, upright), Copies(turnedVerdict, turned)};
}

BuiltSheet BuildSheet(const PackedDib& source, const PackParameters& parameters) {
    SheetCopies copies = PlanCopies(source, parameters);
    if (copies.verdict != LayoutVerdict::Fits)
        return {copies.verdict, {}};
    const PackedDib& shown = copies.isTurned ? copies.turned : source;
    PackedDib sheet;
    if (shown.block != nullptr) // else no memory for the turned copies
        sheet = ComposeSheet(shown, parameters.sheetWidth, parameters.sheetHeight,
                             parameters.background, copies.layout, parameters.cutGuides);
    ReleaseDib(copies.turned);
    return {LayoutVerdict::Fits, sheet};
}

WrittenSheet WriteSheet(const PackedDib& source, const PackParameters& parameters,
                        const char* fileName, int32_t saveMode, const SheetMetadata& metadata) {
    SheetCopies copies = PlanCopies(source, parameters);
    if (copies.verdict != LayoutVerdict::Fits)
        return {copies.verdict, false, false};
    const PackedDib& shown = copies.isTurned ? copies.turned : source;
    SheetRecipe recipe;
    WrittenSheet written{LayoutVerdict::Fits, false, false};
    if (shown.block != nullptr &&
        PlanSheet(shown, parameters.sheetWidth, parameters.sheetHeight, parameters.background,
                  copies.layout, parameters.cutGuides, &recipe)) {
        RowSource rows{ComposeRequestedRows, &recipe};
        written.made = true;
        written.written =
            WriteRowsInSaveFormat(fileName, parameters.sheetWidth, parameters.sheetHeight, rows,
                                  saveMode, metadata) == 1;
    }
    ReleaseDib(copies.turned);
    return written;
}
