#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "platform/message_box.h"

namespace platform {
namespace {

TEST(MessageBox, DefaultAnswerFollowsTheDefaultButton) {
    struct Case {
        std::uint32_t type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OK | MB_DEFBUTTON3, IDOK},  // a default beyond the buttons falls back to the first
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultMessageBoxAnswer(c.type), c.answer) << c.type;
}

TEST(MessageBox, WithoutABackendNothingWaits) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(kNoWindow, "Cannot open", "Halvex", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Halvex: Cannot open\n");
}

TEST(MessageBox, HeadlessRecordsAndAnswersUnlessBatch) {
    HeadlessBackend backend;
    const WindowHandle owner = backend.CreateWindow({100, 100});
    backend.AnswerNextMessageBox(IDCANCEL);
    EXPECT_EQ(MessageBox(owner, "Save?", "Linksmith", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBox(owner, "Again", "Linksmith", MB_YESNOCANCEL), IDYES);

    SetBatchMode(true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(owner, "Batch", "Cubestitch", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cubestitch: Batch\n");
    SetBatchMode(false);

    const auto boxes = backend.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Save?");
    EXPECT_EQ(boxes[0].caption, "Linksmith");
    EXPECT_EQ(boxes[0].answer, IDCANCEL);
}

}  // namespace
}  // namespace platform
