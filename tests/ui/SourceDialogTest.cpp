// A phone photograph in the dialogs: shown upright with its upright size, unless the settings
// ask for the stored pixels, and its colour profile saved with the JPEG sheet.

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "support/TestJpegs.h"
#include "support/TestMetadata.h"
#include "ui/DialogTemplates.h"

namespace {

using SourceDialogTest = DialogTest;

TEST_F(SourceDialogTest, PhonePhotoIsUprightAndItsProfileReachesTheSheet) {
    const Bytes profile(3000, 0x5A);
    PackedDib stored = MakePicture(8, 5);
    std::string phone = folder.Path("phone.jpg");
    WriteWholeFile(phone,
                   WithSegment(EncodeWithProfile(stored, profile), 0xE1, ExifPayload(8, false)));
    ReleaseDib(stored);
    for (uint32_t ignore : {0u, 1u}) {
        ResetAppState();
        appState.ignoreOrientation = ignore;
        std::string sheet = folder.Path("sheet" + std::to_string(ignore) + ".jpg");
        answers = {sheet};
        Expect([](Dialog* preview) {
            Pick(preview, SaveFormatBox, 1);
            Click(preview, SaveButton);
        });
        RunMainDialog(phone, [ignore](Dialog* dialog) {
            EXPECT_EQ(Text(dialog, SourceSizeLabel), ignore ? "8 5" : "5 8");
            Type(dialog, SizeBox, "100 100");
            Click(dialog, PackButton);
            Click(dialog, ExitButton);
        });
        EXPECT_EQ(messages, Texts{});
        EXPECT_EQ(ReferenceProfile(ReadWholeFile(sheet)), profile);
    }
}

} // namespace
