// The recorder's answer to "kelbo --status --json": the status bar's texts
// as before, and the same in values.
#include "recorder/app/remote_commands.h"
#include "engine/recorder_under_test.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

const DateTime kNoon = DateTime::fromCivil(2026, 12, 7, 12, 0);

nlohmann::json statusOf(RecorderUnderTest& r) {
    const QByteArray reply = app::answerRemoteRequest(r.recorder, r.panels, "status");
    return nlohmann::json::parse(reply.toStdString());
}

}  // namespace

TEST(StatusReply, GivesTheNextProgrammeAndTheRecordingInProgressBesideTheTexts) {
    const ScopedTimeZone london("Europe/London");
    RecorderUnderTest r(kNoon, "movies/%programme%.mpg");
    GuideRecord film = programme("Film", kNoon.plusMinutes(10), 30);
    film.channelName = "One";
    r.append(film);
    r.recorder.reloadSchedule();
    r.tickAt(kNoon);

    const auto waiting = statusOf(r);
    EXPECT_EQ(waiting["state"], "Idle");
    EXPECT_EQ(waiting["programme"], "Film on One starts in 000:00:10:00");
    EXPECT_EQ(waiting["recording"], false);
    EXPECT_EQ(waiting["deviceState"], "idle");
    ASSERT_TRUE(waiting["next"].is_object());
    const auto id = waiting["next"]["id"];
    EXPECT_EQ(id, r.listing.idOfRow(1));
    EXPECT_EQ(waiting["next"]["name"], "Film");
    EXPECT_EQ(waiting["next"]["channel"], "One");
    EXPECT_EQ(waiting["next"]["start"], "2026-12-07T12:10:00+00:00");
    EXPECT_EQ(waiting["next"]["end"], "2026-12-07T12:40:00+00:00");
    EXPECT_EQ(waiting["next"]["secondsToGo"], 600);
    EXPECT_TRUE(waiting["recordingNow"].is_null());

    r.tickAt(kNoon.plusMinutes(11));
    r.device.advance(90000);
    r.tickAt(kNoon.plusMinutes(12));
    const auto recording = statusOf(r);
    EXPECT_EQ(recording["recording"], true);
    EXPECT_EQ(recording["deviceState"], "recording");
    ASSERT_TRUE(recording["recordingNow"].is_object());
    const auto& now = recording["recordingNow"];
    EXPECT_EQ(now["id"], id);
    EXPECT_EQ(now["name"], "Film");
    EXPECT_EQ(now["file"], recording["file"]);
    EXPECT_EQ(now["elapsedSeconds"], 90);
    EXPECT_EQ(now["limitSeconds"], r.device.CaptureLimit() / 1000);
    EXPECT_EQ(now["progress"], recording["progress"]);
    EXPECT_GT(now["progress"].get<int>(), 0);
    EXPECT_EQ(recording["next"]["secondsToGo"], 0);

    r.recorder.stopRecording();
    const auto stopped = statusOf(r);
    EXPECT_TRUE(stopped["recordingNow"].is_null());
    EXPECT_TRUE(stopped["next"].is_null());
}
