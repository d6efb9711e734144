// Finding a user's recordings, the preview's caption, and quitting while a
// recording runs.
#include "recorder/forms/preview_caption.h"
#include "recorder/forms/recordings.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

TEST(RecordingsFolder, IsThePatternsFixedLeadingFolder) {
    EXPECT_EQ(recordingsFolder("/home/u/Videos/Kelbo/%startdate%/%programme%-%starttime%.mpg"),
              "/home/u/Videos/Kelbo");
    EXPECT_EQ(recordingsFolder("/srv/tv/%programme%.mpg"), "/srv/tv");
    EXPECT_EQ(recordingsFolder("/srv/tv/Fixed.mpg"), "/srv/tv");
    EXPECT_EQ(recordingsFolder("/srv/tv/by%channelname%/x.mpg"), "/srv/tv") << "a folder with a token is not fixed";
    EXPECT_EQ(recordingsFolder("rec/%programme%.mpg"), (std::filesystem::current_path() / "rec").string());
}

TEST(RecordedFiles, AreTheFinalPartsOfTheRowsBaseLatestFirst) {
    TempDir dir;
    for (const char* name : {"Film1[1.1].mpg", "Film2[2.2].mpg", "Film2[1.2].mpg", "Film3[1.].mpg",
                             "Films1[1.1].mpg", "Other1[1.1].mpg"})
        writeFile(dir / name, "x");
    const auto files = recordedFiles((dir / "Film.mpg").string());
    EXPECT_EQ(files, (std::vector<std::string>{(dir / "Film2[1.2].mpg").string(), (dir / "Film2[2.2].mpg").string(),
                                               (dir / "Film1[1.1].mpg").string()}))
        << "a part still being written (Film3[1.]) and other bases are not this row's";
    EXPECT_TRUE(recordedFiles((dir / "Nothing.mpg").string()).empty());
    EXPECT_EQ(latestRecording((dir / "Film.mpg").string()),
              (std::vector<std::string>{(dir / "Film2[1.2].mpg").string(), (dir / "Film2[2.2].mpg").string()}))
        << "Play plays every part of the latest recording";
    // A number too long for any counter is nobody's part, not a crash.
    writeFile(dir / "Film99999999999999999999999[1.1].mpg", "x");
    EXPECT_EQ(recordedFiles((dir / "Film.mpg").string()).size(), 3u);
    EXPECT_TRUE(recordedFiles((dir / "nofolder" / "Film.mpg").string()).empty());
}

TEST(QuitCommand, AsksFirstOnlyWhileRecording) {
    ScriptedCaptureDevice device;
    RecordingMessageBoxes boxes;
    EXPECT_TRUE(confirmQuit(device, boxes));
    EXPECT_TRUE(boxes.shown.empty());

    device.state = CaptureDevice::Recording;
    boxes.answer = MessageBoxes::Answer::Cancel;
    EXPECT_FALSE(confirmQuit(device, boxes));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Quit Kelbo");
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::OkCancelDefaultCancel) << "Enter keeps recording";
    boxes.answer = MessageBoxes::Answer::Ok;
    EXPECT_TRUE(confirmQuit(device, boxes));
}

TEST(PreviewCaption, SaysWhyThereIsNoPicture) {
    ScriptedCaptureDevice device;
    EXPECT_EQ(previewCaption(device, false), "No picture");
    EXPECT_EQ(previewCaption(device, true), "");
    device.state = CaptureDevice::Recording;
    device.setPreviewWhileCapturing(false);
    EXPECT_EQ(previewCaption(device, false), "Recording \u2014 preview off");
    EXPECT_EQ(previewCaption(device, true), "Recording \u2014 preview off") << "the tick is greyed while recording";
    device.setPreviewWhileCapturing(true);
    EXPECT_EQ(previewCaption(device, false), "");
    device.stream = CaptureDevice::StreamStatus{.url = "http://fm.example/live.mp3", .openFailure = "", .opening = false, .soundOnly = true};
    EXPECT_EQ(previewCaption(device, false), "Radio \u2014 sound only");
}
