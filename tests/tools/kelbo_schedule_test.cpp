#include "common/display_width.h"
#include "support/schedule_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo::testing;

namespace {

struct Result {
    int status;
    std::string out;
};

// Runs the built tool as a user would, with its own settings folder.
class KelboScheduleTool : public ::testing::Test {
protected:
    // `args` for kelbo-schedule, or (`tool` false) a whole command line.
    Result run(const std::string& args, bool tool = true) {
        const std::string program = tool ? "'" + std::string(KELBO_BUILD_DIR) + "/kelbo-schedule' " : "";
        const std::string command = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' " +
                                    program + args + " 2>'" + (dir / "stderr").string() + "'";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string out;
        std::array<char, 4096> buffer{};
        while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
    }
    std::string err() const { return readFile(dir / "stderr"); }
    std::string quoted(const std::filesystem::path& p) const { return "'" + p.string() + "'"; }
    void settings(const std::string& values) {
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\n" + values);
    }

    TempDir dir;
};

GuideRecord at(const std::string& name, const std::string& date, const std::string& time) {
    GuideRecord r;
    r.name = name;
    r.date = date;
    r.time = time;
    return r;
}

}  // namespace

TEST_F(KelboScheduleTool, ListsAsJsonInListOrderWithStoredDefaults) {
    settings("Template=Half\nStartBuffer=3\nFileString=/rec/%programme%.mpg\n");
    const auto file = dir / "s.txt";
    writeFile(file, at("Late", "02-02-2003", "20:00").text() + at("Early", "01-02-2003", "20:00").text());
    const Result r = run("list --json " + quoted(file));
    ASSERT_EQ(r.status, 0) << err();
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["Programme"], "Early");
    EXPECT_EQ(rows[1]["Programme"], "Late");
    EXPECT_EQ(rows[0]["IndexString"], "200302012000");
    EXPECT_EQ(rows[0]["ArrayID"], "1");
    EXPECT_EQ(rows[0]["Template"], "Half");
    EXPECT_EQ(rows[0]["SBuf"], "3");
    EXPECT_EQ(rows[0]["EBuf"], "0");
    EXPECT_EQ(rows[0]["Filename"], "/rec/Early.mpg");
    EXPECT_EQ(rows[0]["firstFile"], "/rec/Early1[1.1].mpg");
    EXPECT_EQ(rows[0]["Status"], "");
    EXPECT_TRUE(rows[0]["colour"].is_number());
    EXPECT_EQ(rows[0]["tag"], "") << "no clash";
    EXPECT_EQ(rows[0].size(), 25u) << "the cells, colour and tag, and the programme's own fields";
}

TEST_F(KelboScheduleTool, UsesTheScheduleFileSettingAndPrintsATable) {
    const auto file = dir / "configured.txt";
    settings("ScheduleFile=" + file.string() + "\n");
    writeFile(file, at("Film Night", "01-02-2003", "20:00").text());
    const Result r = run("list");
    ASSERT_EQ(r.status, 0) << err();
    EXPECT_NE(r.out.find("Programme"), std::string::npos);
    EXPECT_NE(r.out.find("Film Night"), std::string::npos);
    EXPECT_EQ(r.out.find("IndexString"), std::string::npos) << "hidden columns stay hidden";
}

// Names of every script line up: the column after Programme, Channel and
// Filename begins at the same terminal column on every row, also where a
// name is too long and cut; Filename shows the name the recording's file
// gets, cut at its start where it is long.
TEST_F(KelboScheduleTool, ListLinesUpNamesOfEveryScriptAndShowsTheFileARecordingMakes) {
    settings("Template=Half\nFileString=/rec/%programme%-%starttime%.mpg\n");
    const auto file = dir / "s.txt";
    const std::string longName = "Очень длинное название передачи, которое не помещается в столбец";
    const std::pair<std::string, std::string> shows[] = {
        {"News", "BBC One"}, {"Ειδήσεις", "ΕΡΤ1"}, {"Новости", "Первый канал"}, {"大河ドラマ", "NHK総合"},
        {"Cafe\u0301 Society", "Arte"}, {longName, "НТВ"}};
    std::string text;
    int hour = 10;
    for (const auto& [name, channel] : shows) {
        GuideRecord show = at(name, "07-12-2026", std::to_string(hour++) + ":30");
        show.channelName = channel;
        text += show.text();
    }
    writeFile(file, text);
    const Result r = run("list --now '07-12-2026 09:00:00' " + quoted(file));
    ASSERT_EQ(r.status, 0) << err();
    std::istringstream lines(r.out);
    std::string line;
    std::getline(lines, line);
    const size_t templateColumn = kelbo::displayWidth(line.substr(0, line.find("Template")));
    size_t rows = 0;
    for (; std::getline(lines, line) && !line.empty(); ++rows)
        EXPECT_EQ(kelbo::displayWidth(line.substr(0, line.find("  Half") + 2)), templateColumn) << r.out;
    EXPECT_EQ(rows, std::size(shows));
    EXPECT_NE(r.out.find("  /rec/大河ドラマ-13301[1.1].mpg  "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  ...оторое не помещается в столбец-15301[1.1].mpg  "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Очень длинное название передачи, которое не п...  "), std::string::npos) << r.out;
}

TEST_F(KelboScheduleTool, CheckNamesEachDroppedRecordAndItsLine) {
    const auto file = dir / "s.txt";
    GuideRecord words = at("Words", "01-02-2003", "20:00");
    words.duration = "an hour";
    writeFile(file, at("Good", "01-02-2003", "18:00").text() + words.text() +
                        "ProgrammeName: NoChannel\r\n----------BREAK----------\r\ntrailing\r\n");
    Result r = run("check " + quoted(file));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "line 24: Duration \"an hour\" does not read as a number\n"
              "line 26: no StartTime line; no StartDate line; no ChannelNumber line; "
              "no ChannelName line; no Duration line\n"
              "line 27: text after the last separator\n");

    writeFile(file, at("Good", "01-02-2003", "18:00").text());
    r = run("check " + quoted(file));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

// Channels named but not numbered share a number: only the same name as
// well makes a record the same programme, which the next rewrite drops.
TEST_F(KelboScheduleTool, CheckNamesTheSameProgrammeOnTheSameChannelTwice) {
    const auto file = dir / "s.txt";
    GuideRecord rte = at("Nuacht", "01-02-2003", "18:00");
    rte.channelNumber = "0";
    rte.channelName = "RTÉ One";
    GuideRecord bbc = rte;
    bbc.name = "Новости";
    bbc.channelName = "BBC One";
    GuideRecord again = rte;
    again.channelName = "RTÉ ONE";
    again.description = "Nuacht. The news in Irish";
    writeFile(file, rte.text() + bbc.text() + again.text());
    const Result r = run("check " + quoted(file));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "line 36: \"Nuacht\" on RTÉ ONE at 01-02-2003 18:00 is the same programme as line 12 (same date, "
              "time, channel number and channel name): left out when the recorder next rewrites the file\n");
}

// Guide text is printed on the user's terminal: its escape sequences must
// not set the title or clear the screen.
TEST_F(KelboScheduleTool, ListAndCheckShowControlCharactersEscaped) {
    const auto file = dir / "s.txt";
    GuideRecord hostile = at("News\x1b]0;owned\x07\x1b[2J", "01-02-2003", "18:00");
    GuideRecord broken = at("Late\x1b[31m", "01-02-2003", "19:00");
    broken.duration = "\x1b[2Jforty";
    writeFile(file, hostile.text() + broken.text());
    const Result list = run("list " + quoted(file));
    EXPECT_EQ(list.out.find('\x1b'), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("News\\x1b]0;owned"), std::string::npos) << list.out;
    const Result check = run("check " + quoted(file));
    EXPECT_EQ(check.out.find('\x1b'), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("\\x1b[2Jforty"), std::string::npos) << check.out;

    // A file name that is no schedule: told with its escapes shown.
    std::filesystem::create_directory(dir / "none\x1b[2J");
    for (const char* command : {"check", "list"}) {
        EXPECT_EQ(run(std::string(command) + " \"$(printf '" + dir.path().string() + "/none\\033[2J')\"").status, 1);
        EXPECT_EQ(err().find('\x1b'), std::string::npos) << err();
        EXPECT_NE(err().find("none\\x1b[2J"), std::string::npos) << err();
    }
}

TEST_F(KelboScheduleTool, RewriteWritesTheRecordersForm) {
    const auto file = dir / "s.txt";
    writeFile(file, at("Late", "02-02-2003", "20:00").text() + at("Early", "01-02-2003", "20:00").text());
    ASSERT_EQ(run("rewrite " + quoted(file)).status, 0) << err();
    const std::string text = readFile(file);
    EXPECT_LT(text.find("Early"), text.find("Late"));
    EXPECT_EQ(text.find("Category"), std::string::npos);
}

TEST_F(KelboScheduleTool, BadArgumentsGiveUsageAndStatusTwo) {
    for (const char* args : {"", "frobnicate", "list --now tomorrow", "list a b", "check --json",
                             "list --bogus", "list --now"}) {
        const Result r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(err().find("usage:"), std::string::npos) << args;
    }
}

TEST_F(KelboScheduleTool, ListAndRewriteMarkClashesAndTheNextProgrammeAtNow) {
    const auto file = dir / "s.txt";
    GuideRecord a = at("Alpha", "07-12-2026", "20:00"), b = at("Beta", "07-12-2026", "20:30");
    a.duration = b.duration = "60";
    b.channelNumber = "2";
    b.channelName = "Second";
    const GuideRecord done = at("Done", "06-12-2026", "10:00");
    writeFile(file, b.text() + a.text() + a.text() + done.text());

    const Result r = run("list --json --now '07-12-2026 19:00:00' " + quoted(file));
    ASSERT_EQ(r.status, 0) << err();
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 3u) << "the duplicate is dropped";
    EXPECT_EQ(rows[0]["Programme"], "Done");
    EXPECT_EQ(rows[0]["colour"], 0);
    EXPECT_EQ(rows[1]["Programme"], "Alpha");
    EXPECT_EQ(rows[1]["colour"], 255) << "next programme";
    EXPECT_EQ(rows[1]["tag"], "Clash with: Beta on Second AND ");
    EXPECT_EQ(rows[2]["colour"], 16711680);

    const auto later = nlohmann::json::parse(run("list --json --now '07-12-2026 21:10:00' " + quoted(file)).out);
    // Alpha has finished; the pair no longer counts, and Beta is next.
    EXPECT_EQ(later[1]["colour"], 0);
    EXPECT_EQ(later[1]["tag"], "");
    EXPECT_EQ(later[2]["colour"], 255);

    ASSERT_EQ(run("rewrite --now '07-12-2026 19:00:00' " + quoted(file)).status, 0) << err();
    const std::string text = readFile(file);
    EXPECT_EQ(text.find("Alpha"), text.rfind("Alpha"));
}

// Each listed programme carries its id, its times with the offset in force
// then, its status, whether it is next and the ids it clashes with.
TEST_F(KelboScheduleTool, ListJsonGivesEachProgrammeItsIdTimesStatusAndClashes) {
    const auto file = dir / "s.txt";
    const auto with = [](const GuideRecord& r, const std::string& lines) {
        std::string text = r.text();
        return text.insert(text.find("----------BREAK"), lines);
    };
    GuideRecord alpha = at("Alpha", "07-12-2026", "20:00"), beta = at("Beta", "07-12-2026", "20:30");
    alpha.duration = beta.duration = "60";
    beta.channelNumber = "2";
    beta.channelName = "Second";
    GuideRecord stopped = at("Stopped one", "07-12-2026", "23:00");
    GuideRecord summer = at("Summer", "01-07-2027", "20:00");
    writeFile(file, with(beta, "StartBuffer  : 5\r\n") + alpha.text() +
                        with(stopped, "Complete     : Stopped\r\n") + summer.text());

    const Result r = run("TZ=Europe/London XDG_CONFIG_HOME='" + (dir / "config").string() + "' '" +
                             std::string(KELBO_BUILD_DIR) + "/kelbo-schedule' list --json --now '07-12-2026 19:00:00' " +
                             quoted(file) + " 2>'" + (dir / "stderr").string() + "'",
                         false);
    ASSERT_EQ(r.status, 0) << err();
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 4u);
    const auto& a = rows[0];
    const auto& b = rows[1];
    ASSERT_EQ(a["Programme"], "Alpha");
    ASSERT_EQ(b["Programme"], "Beta");
    std::set<unsigned> ids;
    for (const auto& row : rows) ids.insert(row["id"].get<unsigned>());
    EXPECT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids.count(0u), 0u);

    EXPECT_EQ(a["start"], "2026-12-07T20:00:00+00:00");
    EXPECT_EQ(a["bufferedStart"], "2026-12-07T20:00:00+00:00");
    EXPECT_EQ(a["bufferedEnd"], "2026-12-07T21:00:00+00:00");
    EXPECT_EQ(b["bufferedStart"], "2026-12-07T20:25:00+00:00");
    EXPECT_EQ(rows[3]["start"], "2027-07-01T20:00:00+01:00") << "summer time";

    EXPECT_EQ(a["next"], true);
    EXPECT_EQ(b["next"], false);
    EXPECT_EQ(a["clashesWith"], nlohmann::json::array({b["id"]}));
    EXPECT_EQ(b["clashesWith"], nlohmann::json::array({a["id"]}));
    EXPECT_EQ(rows[2]["clashesWith"], nlohmann::json::array());
    EXPECT_EQ(a["status"], "Pending");
    EXPECT_EQ(rows[2]["status"], "Stopped");
    EXPECT_EQ(rows[2]["next"], false) << "a stopped programme is not next";
}

// With two tuners stored, three programmes at once: only the third, in list
// order, clashes, naming the two that take the tuners; they name nobody.
TEST_F(KelboScheduleTool, ListJsonClashesFollowTheTunersSetting) {
    const auto file = dir / "s.txt";
    GuideRecord news = at("Новости", "07-12-2026", "20:00"), drama = at("大河ドラマ", "07-12-2026", "20:10"),
                film = at("Фильм", "07-12-2026", "20:20");
    news.channelNumber = drama.channelNumber = film.channelNumber = "0";
    news.channelName = "Первый канал";
    drama.channelName = "NHK総合";
    film.channelName = "НТВ";
    news.duration = drama.duration = film.duration = "60";
    writeFile(file, film.text() + news.text() + drama.text());

    const auto list = [&] {
        const Result r = run("list --json --now '07-12-2026 19:00:00' " + quoted(file));
        EXPECT_EQ(r.status, 0) << err();
        return nlohmann::json::parse(r.out);
    };
    settings("Tuners=2\n");
    const auto two = list();
    ASSERT_EQ(two.size(), 3u);
    ASSERT_EQ(two[2]["Programme"], "Фильм");
    EXPECT_EQ(two[0]["clashesWith"], nlohmann::json::array());
    EXPECT_EQ(two[1]["clashesWith"], nlohmann::json::array());
    EXPECT_EQ(two[2]["clashesWith"], nlohmann::json::array({two[0]["id"], two[1]["id"]}));
    EXPECT_EQ(two[2]["tag"], "Clash with: Новости on Первый канал AND 大河ドラマ on NHK総合 AND ");
    EXPECT_EQ(two[1]["colour"], 0);
    EXPECT_EQ(two[2]["colour"], 16711680);

    settings("Tuners=3\n");
    for (const auto& row : list()) EXPECT_EQ(row["clashesWith"], nlohmann::json::array());
    // Beyond the range: one tuner, every pair clashes.
    settings("Tuners=12\n");
    const auto one = list();
    EXPECT_EQ(one[1]["clashesWith"].size(), 2u);
    EXPECT_EQ(one[1]["colour"], 16711680);
}

// One programme ending as the next begins: no clash either way.
TEST_F(KelboScheduleTool, BackToBackProgrammesDoNotClash) {
    const auto file = dir / "s.txt";
    GuideRecord early = at("Early", "01-02-2025", "00:30");
    early.channelNumber = "1";
    GuideRecord late = at("Late", "01-02-2025", "01:00");
    late.channelNumber = "2";
    writeFile(file, early.text() + late.text());
    const Result r = run("list --json --now \"01-02-2025 00:00:00\" " + quoted(file));
    ASSERT_EQ(r.status, 0) << err();
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["tag"], "");
    EXPECT_EQ(rows[1]["tag"], "");
    EXPECT_EQ(rows[0]["colour"], 255) << "Early is next";
    EXPECT_EQ(rows[1]["colour"], 0);

    // At 01:00 Early has ended: Late is next.
    const Result later = run("list --json --now \"01-02-2025 01:00:00\" " + quoted(file));
    ASSERT_EQ(later.status, 0) << err();
    const auto after = nlohmann::json::parse(later.out);
    EXPECT_EQ(after[0]["colour"], 0);
    EXPECT_EQ(after[1]["colour"], 255);
}

// A pipe would hang the reader and a rewrite would put a file in its place;
// a file that cannot be read is not an empty schedule.
TEST_F(KelboScheduleTool, RefusesWhatIsNotARegularFileOrCannotBeRead) {
    const auto fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const char* command : {"check", "list", "rewrite"}) {
        const Result r = run("timeout 10 '" + std::string(KELBO_BUILD_DIR) + "/kelbo-schedule' " +
                                 command + " " + quoted(fifo),
                             false);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(err().find("is not a regular file"), std::string::npos) << command << ": " << err();
        EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << command;
    }
    EXPECT_EQ(run("list " + quoted(dir.path())).status, 1);
    EXPECT_NE(err().find("is not a regular file"), std::string::npos) << err();

    // Unreadable: as root, run the tool as an ordinary user.
    const auto file = dir / "s.txt";
    writeFile(file, at("Secret", "01-02-2003", "18:00").text());
    ::chmod(file.c_str(), 0);
    ::chmod(dir.path().c_str(), 0755);
    const std::string asUser = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    for (const char* command : {"check", "list"}) {
        const Result r = run(asUser + "'" + KELBO_BUILD_DIR + "/kelbo-schedule' " + command + " " +
                                 quoted(file),
                             false);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_NE(err().find("cannot read the schedule file"), std::string::npos) << command << ": " << err();
    }
}

// A file of finished items beyond the table's size: the programme appended
// last is still listed, and check names the finished ones left out.
TEST_F(KelboScheduleTool, AFullFileStillListsTheProgrammeToComeAndCheckNamesWhatIsLeftOut) {
    const auto file = dir / "s.txt";
    std::string text;
    for (int i = 0; i < 502; ++i) {
        GuideRecord old = at("Old" + std::to_string(i), "01-02-2003", "18:00");
        old.channelNumber = std::to_string(i);
        text += old.text();
    }
    writeFile(file, text + at("Coming", "10-12-2026", "20:00").text());
    const std::string now = " --now '08-12-2026 12:00:00' ";

    const Result list = run("list --json" + now + quoted(file));
    ASSERT_EQ(list.status, 0) << err();
    const auto rows = nlohmann::json::parse(list.out);
    ASSERT_EQ(rows.size(), 501u);
    EXPECT_EQ(rows.back()["Programme"], "Coming");

    const Result check = run("check" + now + quoted(file));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out.find("line 6012: left out of the 501 programmes"), 0u) << check.out;
    EXPECT_NE(check.out.find("\nline 6024: left out"), std::string::npos) << check.out;
    EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 2) << check.out;
}
