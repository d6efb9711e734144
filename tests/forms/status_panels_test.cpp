// The status bar's panels, the tray's tip and the texts read back by
// `kelbo --status` while several tuners record.
#include "recorder/forms/status_panels.h"
#include "support/fake_window.h"

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

RecorderState::Recording recording(const char* name, const char* channel, int tuner, std::int64_t leftMs) {
    RecorderState::Recording r;
    r.id = static_cast<ProgrammeId>(tuner * 10);
    r.tuner = tuner;
    r.name = name;
    r.channel = channel;
    r.file = std::string("/v/") + name + ".mpg";
    r.limitMs = 3600000;
    r.elapsedMs = r.limitMs - leftMs;
    r.progress = static_cast<int>(r.elapsedMs * 100 / r.limitMs);
    return r;
}

// Recordings given in the order they end, as the recorder gives them.
RecorderState recordingState(std::vector<RecorderState::Recording> all) {
    RecorderState s;
    s.device = RecorderState::Device::Recording;
    s.tuners = 3;
    s.recordings = std::move(all);
    if (!s.recordings.empty()) s.recording = s.recordings.front();
    return s;
}

RecorderState::Next nextOf(const RecorderState::Recording& r) {
    RecorderState::Next next;
    next.id = r.id;
    next.name = r.name;
    next.channel = r.channel;
    return next;
}

struct Panels {
    FakeStatusBar bar;
    FakeWindow window;
    FakeTray tray;
    StatusPanels panels{bar, window, tray};
};

}  // namespace

TEST(StatusPanels, ShowTheRecordingThatEndsFirstAndCountTheOthers) {
    Panels p;
    RecorderState two = recordingState({recording("News", "BBC", 2, 600000), recording("Film", "One", 1, 5400000)});
    two.next = nextOf(two.recordings[1]);
    p.panels.ticked(two);
    EXPECT_EQ(p.bar.texts[panel::kProgramme], "News on BBC ends in 00:10:00 +1");
    EXPECT_EQ(p.bar.texts[panel::kCounter], "00:50:00  /  01:00:00");
    EXPECT_EQ(p.bar.tips[panel::kProgramme],
              "News on BBC, tuner 2, ends in 00:10:00\nFilm on One, tuner 1, ends in 01:30:00");
    EXPECT_EQ(p.panels.report(two).programme, "News on BBC ends in 00:10:00 +1");
    EXPECT_EQ(p.panels.report(two).currentFile, "/v/News.mpg");

    // Tuner 1 has nothing to come while tuner 2 and 3 record.
    RecorderState others = recordingState({recording("Quiz", "Two", 3, 60000), recording("News", "BBC", 2, 600000)});
    p.panels.recordingBegun(others);
    EXPECT_EQ(p.bar.texts[panel::kProgramme], "Quiz on Two ends in 00:01:00 +1");
    const RecorderStatus report = p.panels.report(others);
    EXPECT_EQ(report.programme, "Quiz on Two ends in 00:01:00 +1");
    EXPECT_TRUE(report.recording);
    EXPECT_EQ(report.counter, "00:59:00  /  01:00:00");

    // One left: the panel as with one tuner, its tooltip its own text again.
    RecorderState one = recordingState({recording("News", "BBC", 2, 540000)});
    p.panels.ticked(one);
    EXPECT_EQ(p.bar.texts[panel::kProgramme], "News on BBC ends in 00:09:00");
    EXPECT_EQ(p.bar.tips[panel::kProgramme], "");
    EXPECT_EQ(p.panels.report(one).programme, "News on BBC ends in 00:09:00");

    EXPECT_EQ(p.panels.report(RecorderState{}).programme, "NO PROGRAMS TO RECORD");
}

TEST(StatusPanels, TheTrayTipNamesEveryRecording) {
    Panels p;
    p.window.minimised = true;
    p.panels.ticked(recordingState({recording("News", "BBC", 1, 600000), recording("Квиз", "Два", 2, 700000),
                                    recording("天気", "NHK", 3, 800000)}));
    EXPECT_EQ(p.tray.tip,
              "News on BBC, tuner 1, ends in 00:10:00\nКвиз on Два, tuner 2, ends in 00:11:40\n"
              "天気 on NHK, tuner 3, ends in 00:13:20");
    EXPECT_EQ(p.tray.images.back(), TrayImage::Recording);

    p.panels.ticked(recordingState({recording("News", "BBC", 1, 500000)}));
    EXPECT_EQ(p.tray.tip, "News on BBC ends in 00:08:20");
}
