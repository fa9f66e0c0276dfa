#include "pack/SheetBuilding.h"

#include "image/SaveFormats.h"
#include "pack/SheetCompositor.h"

namespace {

LayoutVerdict LayOut(const PackedDib& source, const PackParameters& parameters,
                     SheetLayout* layout) {
    if (!IsPackablePicture(source))
        return LayoutVerdict::BadSource;
    return ComputeLayout(parameters.sheetWidth, parameters.sheetHeight, ImageWidth(source.block),
                         ImageHeight(source.block), parameters.distance, parameters.marginOn,
                         parameters.margin, layout);
}

// The writers' row source: the rows the recipe gives, composed where the writer asks.
void ComposeRequestedRows(const void* recipe, int32_t first, int32_t count, uint8_t* rows) {
    ComposeSheetRows(*static_cast<const SheetRecipe*>(recipe), first, int64_t{first} + count, rows);
}

} // namespace

BuiltSheet BuildSheet(const PackedDib& source, const PackParameters& parameters) {
    SheetLayout layout{};
    LayoutVerdict verdict = LayOut(source, parameters, &layout);
    if (verdict != LayoutVerdict::Fits)
        return {verdict, {}};
    return {verdict, ComposeSheet(source, parameters.sheetWidth, parameters.sheetHeight,
                                  parameters.background, layout)};
}

WrittenSheet WriteSheet(const PackedDib& source, const PackParameters& parameters,
                        const char* fileName, int32_t saveMode, const SheetMetadata& metadata) {
    SheetLayout layout{};
    LayoutVerdict verdict = LayOut(source, parameters, &layout);
    SheetRecipe recipe;
    if (verdict != LayoutVerdict::Fits)
        return {verdict, false, false};
    if (!PlanSheet(source, parameters.sheetWidth, parameters.sheetHeight, parameters.background,
                   layout, &recipe))
        return {verdict, false, false};
    RowSource rows{ComposeRequestedRows, &recipe};
    return {verdict, true,
            WriteRowsInSaveFormat(fileName, parameters.sheetWidth, parameters.sheetHeight, rows,
                                  saveMode, metadata) == 1};
}
