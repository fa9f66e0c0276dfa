#pragma once
// What the dialog tests share: a fresh state, a scratch folder holding a small photograph, a
// screen of a given size, and the message boxes and file choosers answered by the test.

#include "platform/DialogHostTesting.h"
#include "support/TestFiles.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

class DialogTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the main dialog as the entry does, the script acting on it once it shows.
    void RunMainDialog(const std::string& startFile, std::function<void(Dialog*)> script);

    std::string photo; // a 60 x 40 BMP photograph
    ScratchFolder folder;
    std::vector<std::string> messages;
    // The answers the file chooser gives, in order; nothing is a cancel.
    std::deque<std::optional<std::string>> chooserAnswers;
    std::vector<OpenFileName> chooserRequests;
    std::vector<std::string> chooserPatterns;
};
