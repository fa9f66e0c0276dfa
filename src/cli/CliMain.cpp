// kafelator-cli: packs one photograph into a sheet from file to file, through the same
// procedures as the dialogs, for scripts, batches and machines without a display.

#include "app/Messages.h"
#include "cli/CliOptions.h"
#include "image/PdfFile.h"
#include "image/SourceImage.h"
#include "pack/SheetBuilding.h"
#include "platform/FileCalls.h"
#include "platform/StopSignals.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr int ExitPacked = 0, ExitFailed = 1, ExitUsage = 2;
// A shell's status for a process that a signal ended.
constexpr int ExitSignalled = 128;

// The program's message, then the value at fault in brackets.
int Fail(const char* message, const std::string& value) {
    std::fprintf(stderr, "kafelator-cli: %s (%s)\n", message, value.c_str());
    return ExitFailed;
}

// The message for a layout that does not fit, naming the value it points at as the user gave it.
int FailLayout(LayoutVerdict verdict, const CliOptions& options) {
    const PackParameters& pack = options.pack;
    switch (verdict) {
    case LayoutVerdict::SourceTooLarge:
        return Fail(SourceTooLargeMessage, options.source + ", " + options.sizeText);
    case LayoutVerdict::SheetTooLarge:
        return Fail(SheetTooLargeMessage, options.sizeText);
    case LayoutVerdict::BadDistance:
        return Fail(BadDistanceMessage, "--distance " + std::to_string(pack.distance));
    case LayoutVerdict::BadMargin:
        return Fail(BadMarginMessage, "--margin " + std::to_string(pack.margin));
    case LayoutVerdict::BadSource:
    case LayoutVerdict::Fits:
        break;
    }
    return Fail(WrongFormatMessage, options.source);
}

// A PDF page holds the sheet as one picture, so the sheet is composed whole. The page needs a
// size on paper: 300 dpi when none is given.
WrittenSheet WritePdfSheet(const PackedDib& source, const CliOptions& options, const char* output) {
    BuiltSheet built = BuildSheet(source, options.pack);
    if (built.verdict != LayoutVerdict::Fits || built.sheet.block == nullptr)
        return {built.verdict, false, false};
    int32_t dpi = options.dpi != 0 ? options.dpi : DefaultPrintDpi;
    bool written = WritePdfFile(output, built.sheet, options.saveFormat, dpi) == 1;
    ReleaseDib(built.sheet);
    return {LayoutVerdict::Fits, true, written};
}

int Pack(const CliOptions& options) {
    const char* source = options.source.c_str();
    const char* output = options.output.c_str();
    // Refused before anything is read: the sheet would replace the photograph, or a file the
    // user wants kept.
    if (SameFile(source, output))
        return Fail(SameFileMessage, options.output);
    if (options.noClobber && NameTaken(output))
        return Fail(OutputExistsMessage, options.output + ", --no-clobber");
    PackableSource loaded = LoadPackableSource(source, options.sourceOptions);
    switch (loaded.verdict) {
    case SourceVerdict::CannotOpen:
        return Fail(CannotOpenMessage, options.source);
    case SourceVerdict::WrongFormat:
        return Fail(WrongFormatMessage, options.source);
    case SourceVerdict::Loaded:
        break;
    }
    // The sheet goes straight to the file a band at a time, never held whole: the dialogs keep
    // it for the preview, the packer has no use for it. A stop signal caught on the way abandons
    // the write, or the rename after it.
    WrittenSheet sheet = options.pdf
                             ? WritePdfSheet(loaded.image, options, output)
                             : WriteSheet(loaded.image, options.pack, output, options.saveFormat,
                                          {std::move(loaded.iccProfile), options.dpi});
    ReleaseDib(loaded.image);
    if (sheet.verdict != LayoutVerdict::Fits)
        return FailLayout(sheet.verdict, options);
    if (!sheet.made)
        return Fail(PackFailedMessage, options.sizeText);
    if (int signalNumber = CaughtStopSignal(); signalNumber != 0)
        return ExitSignalled + signalNumber;
    return sheet.written ? ExitPacked : Fail(SaveFailedMessage, options.output);
}

} // namespace

int main(int argc, char** argv) {
    // SIGINT, SIGTERM and SIGHUP end the job at the next safe point, leaving no temporary file.
    CatchStopSignals();
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
        // The fault and where to read more: the whole usage would bury the one line that matters.
        std::fprintf(stderr, "kafelator-cli: %s\n%s", error.c_str(), CliUsageHint);
        return ExitUsage;
    case CliRequest::Pack:
        break;
    }
    return Pack(options);
}
