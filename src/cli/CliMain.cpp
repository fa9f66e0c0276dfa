// kafelator-cli: packs one photograph into a sheet from file to file, through the same
// procedures as the dialogs, for scripts, batches and machines without a display.

#include "app/Messages.h"
#include "cli/CliOptions.h"
#include "image/SourceImage.h"
#include "pack/PackTexts.h"
#include "pack/SheetBuilding.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr int ExitPacked = 0, ExitFailed = 1, ExitUsage = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "kafelator-cli: %s\n", message.c_str());
    return ExitFailed;
}

// The message for a layout that does not fit, naming the value it points at as the user gave it.
std::string RefusalMessage(LayoutVerdict verdict, const PackParameters& pack) {
    switch (verdict) {
    case LayoutVerdict::SourceTooLarge:
        return SourceTooLargeMessage;
    case LayoutVerdict::BadDistance:
        return BadDistanceMessage + std::string(" (--distance ") + std::to_string(pack.distance) +
               ")";
    case LayoutVerdict::BadMargin:
        return BadMarginMessage + std::string(" (--margin ") + std::to_string(pack.margin) + ")";
    case LayoutVerdict::BadSource:
    case LayoutVerdict::Fits:
        break;
    }
    return WrongFormatMessage;
}

int Pack(CliOptions& options) {
    PackParameters& pack = options.pack;
    if (ParseSheetSize(options.sizeText.c_str(), &pack.sheetWidth, &pack.sheetHeight) != 2) {
        std::fprintf(stderr, "kafelator-cli: the sheet size is not two numbers: %s\n%s",
                     options.sizeText.c_str(), CliUsage);
        return ExitUsage;
    }
    PackableSource source = LoadPackableSource(options.source.c_str(), options.sourceOptions);
    switch (source.verdict) {
    case SourceVerdict::CannotOpen:
        return Fail(CannotOpenMessage);
    case SourceVerdict::WrongFormat:
        return Fail(WrongFormatMessage);
    case SourceVerdict::Loaded:
        break;
    }
    // The sheet goes straight to the file a band at a time, never held whole: the dialogs keep
    // it for the preview, the packer has no use for it.
    WrittenSheet sheet = WriteSheet(source.image, pack, options.output.c_str(), options.saveFormat,
                                    {std::move(source.iccProfile)});
    ReleaseDib(source.image);
    if (sheet.verdict != LayoutVerdict::Fits)
        return Fail(RefusalMessage(sheet.verdict, pack));
    if (!sheet.made)
        return Fail(PackFailedMessage);
    return sheet.written ? ExitPacked : Fail(SaveFailedMessage);
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    switch (ParseCliOptions(argc, argv, &options, &error)) {
    case CliRequest::Help:
        std::fputs(CliUsage, stdout);
        return ExitPacked;
    case CliRequest::Version:
        std::puts("kafelator-cli " KAFELATOR_VERSION);
        return ExitPacked;
    case CliRequest::UsageError:
        std::fprintf(stderr, "kafelator-cli: %s\n%s", error.c_str(), CliUsage);
        return ExitUsage;
    case CliRequest::Pack:
        break;
    }
    return Pack(options);
}
