// kafelator-cli: packs one photograph into a sheet from file to file, through the same
// procedures as the dialogs, for scripts, batches and machines without a display.

#include "app/AppState.h"
#include "app/Messages.h"
#include "cli/CliOptions.h"
#include "image/SaveFormats.h"
#include "image/SourceImage.h"
#include "pack/PackCommand.h"

#include <cstdio>
#include <string>

namespace {

constexpr int ExitPacked = 0, ExitFailed = 1, ExitUsage = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "kafelator-cli: %s\n", message.c_str());
    return ExitFailed;
}

// The value a layout refusal points at, as the user gave it.
std::string RefusedValue(LayoutVerdict verdict, const CliOptions& options) {
    switch (verdict) {
    case LayoutVerdict::BadDistance:
        return " (--distance " + std::to_string(options.distance) + ")";
    case LayoutVerdict::BadMargin:
        return " (--margin " + std::to_string(options.margin) + ")";
    default:
        return "";
    }
}

int Pack(const CliOptions& options) {
    if (ParseSheetSize(options.sizeText.c_str(), &appState.sheetWidth, &appState.sheetHeight) !=
        2) {
        std::fprintf(stderr, "kafelator-cli: the sheet size is not two numbers: %s\n%s",
                     options.sizeText.c_str(), CliUsage);
        return ExitUsage;
    }
    appState.distance = options.distance;
    appState.margin = options.margin;
    appState.marginOn = options.marginOn;
    appState.background = options.background;
    appState.saveMode = options.saveFormat;

    switch (OpenSourcePicture(options.source.c_str())) {
    case SourceVerdict::CannotOpen:
        return Fail(CannotOpenMessage);
    case SourceVerdict::WrongFormat:
        return Fail(WrongFormatMessage);
    case SourceVerdict::Loaded:
        break;
    }
    LayoutVerdict verdict = BuildSheet();
    if (verdict != LayoutVerdict::Fits)
        return Fail(LayoutRefusalMessage(verdict) + RefusedValue(verdict, options));
    if (appState.sheetImage.block == nullptr)
        return Fail(PackFailedMessage);
    int written = WriteInSaveFormat(options.output.c_str(), appState.sheetImage,
                                    appState.sheetBytes, appState.saveMode);
    return written ? ExitPacked : Fail(SaveFailedMessage);
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
    int status = Pack(options);
    ResetAppState();
    return status;
}
