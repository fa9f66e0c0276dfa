#include "pack/SheetBuilding.h"

#include "pack/SheetCompositor.h"

BuiltSheet BuildSheet(const PackedDib& source, const PackParameters& parameters) {
    if (!IsPackablePicture(source))
        return {LayoutVerdict::BadSource, {}};
    SheetLayout layout{};
    LayoutVerdict verdict =
        ComputeLayout(parameters.sheetWidth, parameters.sheetHeight, ImageWidth(source.block),
                      ImageHeight(source.block), parameters.distance, parameters.marginOn,
                      parameters.margin, &layout);
    if (verdict != LayoutVerdict::Fits)
        return {verdict, {}};
    return {verdict, ComposeSheet(source, parameters.sheetWidth, parameters.sheetHeight,
                                  parameters.background, layout)};
}
