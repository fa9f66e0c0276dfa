#include "pack/SheetBuilding.h"

#include "image/Orientation.h"
#include "pack/SheetCompositor.h"

namespace {

LayoutVerdict LayOut(int32_t w, int32_t h, const PackParameters& parameters, SheetLayout* layout) {
    return ComputeLayout(parameters.sheetWidth, parameters.sheetHeight, w, h, parameters.distance,
                         parameters.marginOn, parameters.margin, layout);
}

int64_t Copies(LayoutVerdict verdict, const SheetLayout& layout) {
    return verdict == LayoutVerdict::Fits ? int64_t{layout.columns} * layout.rows : 0;
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
    if (!IsPackablePicture(source))
        return {LayoutVerdict::BadSource, {}};
    int32_t w = ImageWidth(source.block), h = ImageHeight(source.block);
    SheetLayout layout{};
    LayoutVerdict verdict = LayOut(w, h, parameters, &layout);
    if (parameters.turnCopies) {
        SheetLayout turnedLayout{};
        LayoutVerdict turnedVerdict = LayOut(h, w, parameters, &turnedLayout);
        if (Copies(turnedVerdict, turnedLayout) > Copies(verdict, layout)) {
            PackedDib turned = TurnedQuarterClockwise(source);
            if (turned.block == nullptr)
                return {LayoutVerdict::Fits, {}}; // no memory for the sheet's copies
            PackedDib sheet =
                ComposeSheet(turned, parameters.sheetWidth, parameters.sheetHeight,
                             parameters.background, turnedLayout, parameters.cutGuides);
            ReleaseDib(turned);
            return {LayoutVerdict::Fits, sheet};
        }
    }
    if (verdict != LayoutVerdict::Fits)
        return {verdict, {}};
    return {verdict, ComposeSheet(source, parameters.sheetWidth, parameters.sheetHeight,
                                  parameters.background, layout, parameters.cutGuides)};
}
