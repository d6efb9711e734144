// The recorder's answer to "kelbo --status --json": the status bar's texts
// as before, and the same in values.
#include "recorder/app/remote_commands.h"
#include "engine/recorder_under_test.h"
#include "support/time_zone.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <set>

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

namespace {

QByteArray ask(RecorderUnderTest& r, const std::string& request) {
    return app::answerRemoteRequest(r.recorder, r.panels, QByteArray::fromStdString(request));
}

}  // namespace

TEST(StatusReply, ListsEveryRecordingAndStopsOneOfThemById) {
    const ScopedTimeZone london("Europe/London");
    RecorderUnderTest r(kNoon, "movies/%programme%.mpg");
    ScriptedCaptureDevice* second = nullptr;
    r.recorder.settings().Tuners = 2;
    r.recorder.setTunerOpener([&second](int) {
        auto device = std::make_unique<ScriptedCaptureDevice>();
        second = device.get();
        return device;
    });
    GuideRecord film = programme("Фильм", kNoon.plusMinutes(10), 60);
    film.channelName = "Один";
    GuideRecord news = programme("News", kNoon.plusMinutes(10), 20);
    news.channelName = "BBC";
    r.append(film);
    r.append(news);
    r.recorder.reloadSchedule();
    r.tickAt(kNoon);
    const auto idle = statusOf(r);
    ASSERT_TRUE(idle["recordings"].is_array());
    EXPECT_TRUE(idle["recordings"].empty());

    r.tickAt(kNoon.plusMinutes(11));
    ASSERT_NE(second, nullptr) << "tuner 2 is opened";
    r.device.advance(90000);
    second->advance(90000);
    r.tickAt(kNoon.plusMinutes(12));
    const auto both = statusOf(r);
    ASSERT_EQ(both["recordings"].size(), 2u) << both.dump();
    // The one that ends first leads, in the panel's text and in the list.
    const auto& first = both["recordings"][0];
    const auto& last = both["recordings"][1];
    EXPECT_EQ(first["name"], "News");
    EXPECT_EQ(first["channel"], "BBC");
    EXPECT_EQ(first["ends"], "2026-12-07T12:30:00+00:00");
    EXPECT_EQ(first["elapsedMs"], 90000);
    EXPECT_EQ(first["msToEnd"], first["limitMs"].get<std::int64_t>() - 90000);
    EXPECT_EQ(last["name"], "Фильм");
    EXPECT_EQ(last["ends"], "2026-12-07T13:10:00+00:00");
    EXPECT_EQ(std::set<int>({first["tuner"].get<int>(), last["tuner"].get<int>()}), std::set<int>({1, 2}));
    EXPECT_NE(first["file"], last["file"]);
    EXPECT_EQ(both["recordingNow"]["id"], first["id"]);
    EXPECT_EQ(both["file"], first["file"]);
    EXPECT_EQ(both["programme"].get<std::string>().rfind("News on BBC ends in ", 0), 0u) << both["programme"];
    EXPECT_EQ(both["programme"].get<std::string>().substr(both["programme"].get<std::string>().size() - 3), " +1");

    const auto newsId = first["id"].get<ProgrammeId>();
    const auto filmId = last["id"].get<ProgrammeId>();
    const auto stopped = nlohmann::json::parse(ask(r, "stop-recording " + std::to_string(newsId)).toStdString());
    EXPECT_EQ(stopped["stopped"], true);
    EXPECT_EQ(stopped["name"], "News");
    EXPECT_EQ(stopped["channel"], "BBC");
    EXPECT_EQ(stopped["tuner"], first["tuner"]);
    const auto left = statusOf(r);
    ASSERT_EQ(left["recordings"].size(), 1u);
    EXPECT_EQ(left["recordings"][0]["id"], filmId);
    EXPECT_EQ(left["recording"], true);

    for (const ProgrammeId notRecording : {newsId, ProgrammeId{99999}}) {
        const auto none = nlohmann::json::parse(ask(r, "stop-recording " + std::to_string(notRecording)).toStdString());
        EXPECT_EQ(none["stopped"], false) << notRecording;
        EXPECT_EQ(none["id"], notRecording);
    }
    EXPECT_EQ(statusOf(r)["recordings"].size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(ask(r, "stop-recording").toStdString())["stopped"], true);
    EXPECT_TRUE(statusOf(r)["recordings"].empty());
}
