// Message boxes on the headless desktop: which buttons a code shows, which one an unanswered
// box takes, and scripted answers; and which Desktop a thread talks to.

#include <gtest/gtest.h>

#include <thread>

#include "Platform/Desktop/headless_desktop.hpp"

using namespace lumora::desktop;

TEST(MessageBoxButtons, LowBitsChooseTheSetWhateverTheIconAndDefaultBits) {
    EXPECT_EQ(mb::buttonsOf(0), (std::vector<int16_t>{1}));
    EXPECT_EQ(mb::buttonsOf(1), (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(mb::buttonsOf(2), (std::vector<int16_t>{3, 4, 5}));
    EXPECT_EQ(mb::buttonsOf(3), (std::vector<int16_t>{6, 7, 2}));
    EXPECT_EQ(mb::buttonsOf(4), (std::vector<int16_t>{6, 7}));
    EXPECT_EQ(mb::buttonsOf(5), (std::vector<int16_t>{4, 2}));
    EXPECT_EQ(mb::buttonsOf(68), (std::vector<int16_t>{6, 7}));
    EXPECT_EQ(mb::buttonsOf(4 + 32 + 256), (std::vector<int16_t>{6, 7}));
}

TEST(MessageBoxButtons, UnansweredBoxTakesItsDefaultButton) {
    HeadlessDesktop desktop;
    EXPECT_EQ(desktop.messageBox({"Saved", "Lumora", 64}), mb::IdOk);
    EXPECT_EQ(desktop.messageBox({"Continue?", "", 68}), mb::IdYes);
    EXPECT_EQ(desktop.messageBox({"Retry?", "", 5}), mb::IdRetry);
    EXPECT_EQ(desktop.messageBox({"Delete?", "", 4 + 256}), mb::IdNo);
    EXPECT_EQ(desktop.messageBox({"Stop?", "", 3 + 512}), mb::IdCancel);
    // A default-button bit beyond the set leaves the first button the default.
    EXPECT_EQ(desktop.messageBox({"Done", "", 512}), mb::IdOk);
}

TEST(MessageBoxAnswers, ScriptedAnswersAreTakenInOrderAndRecorded) {
    HeadlessDesktop desktop;
    desktop.queueAnswers({mb::IdNo, mb::IdYes});
    EXPECT_EQ(desktop.messageBox({"First?", "Lumora", 4}), mb::IdNo);
    EXPECT_EQ(desktop.messageBox({"Second?", "Lumora", 36}), mb::IdYes);
    EXPECT_EQ(desktop.messageBox({"Third?", "Lumora", 4}), mb::IdYes);

    const Transcript transcript = desktop.takeTranscript();
    ASSERT_EQ(transcript.messageBoxes.size(), 3u);
    EXPECT_EQ(transcript.messageBoxes[0].request.text, "First?");
    EXPECT_EQ(transcript.messageBoxes[0].request.title, "Lumora");
    EXPECT_EQ(transcript.messageBoxes[0].answer, mb::IdNo);
    EXPECT_EQ(transcript.messageBoxes[1].request.buttons, 36);
    EXPECT_TRUE(desktop.transcript().messageBoxes.empty());
}

TEST(MessageBoxAnswers, AnswerThatIsNotOneOfTheButtonsIsUsedUpAndTheDefaultTaken) {
    HeadlessDesktop desktop;
    desktop.queueAnswers({mb::IdYes, mb::IdCancel});
    EXPECT_EQ(desktop.messageBox({"Only OK here", "", 0}), mb::IdOk);
    EXPECT_EQ(desktop.messageBox({"OK or Cancel", "", 1}), mb::IdCancel);
}

TEST(CurrentDesktop, ScopedDesktopInstallsForItsThreadAndScope) {
    HeadlessDesktop outer, inner;
    Desktop* processDefault = &current();
    EXPECT_EQ(processDefault, &defaultDesktop());
    {
        ScopedDesktop first(outer);
        EXPECT_EQ(&current(), &outer);
        {
            ScopedDesktop second(inner);
            EXPECT_EQ(&current(), &inner);
        }
        EXPECT_EQ(&current(), &outer);
        Desktop* seenByOtherThread = nullptr;
        std::thread([&] { seenByOtherThread = &current(); }).join();
        EXPECT_EQ(seenByOtherThread, processDefault);
    }
    EXPECT_EQ(&current(), processDefault);
}
