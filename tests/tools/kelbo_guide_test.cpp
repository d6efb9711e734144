#include "../guide/real_guide_inputs.h"
#include "../guide/xmltv_sample.h"
#include "support/temp_dir.h"

#include "common/channel_names.h"
#include "common/schedule_format.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelbo::testing;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs the built guide host (and kelbo-schedule) as a user would, with its
// own settings folder.
class KelboGuideTool : public ::testing::Test {
protected:
    Result run(const std::string& program, const std::string& args) {
        return shell("'" + std::string(KELBO_BUILD_DIR) + "/" + program + "' " + args);
    }
    Result shell(const std::string& commandLine) {
        const std::string command = environment + " XDG_CONFIG_HOME='" + (dir / "config").string() + "' HOME='" +
                                    dir.path().string() + "' " + commandLine + " 2>'" + (dir / "stderr").string() + "'";
        FILE* pipe = ::popen(command.c_str(), "r");
        Result r;
        std::array<char, 4096> buffer{};
        while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) r.out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = readFile(dir / "stderr");
        return r;
    }
    Result guide(const std::string& args) { return run("kelbo-guide", args); }
    // `defaults`: more lines of section "Defaults", "ChannelPlaylist=..."
    void settings(const std::string& templates, const std::string& defaults = {}) {
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" +
                      schedule().string() + "\nTemplate=Standard\n" + defaults +
                      "[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n" + templates);
    }
    std::filesystem::path schedule() const { return dir / "schedule.txt"; }

    TempDir dir;
    std::string environment;  // more variables for the programs run, "TZ=UTC"
};

const std::string kRecordArgs =
    " --name 'Film Night' --start '05-03-2003 21:00' --duration 120 --channel-name 'Channel Four'"
    " --channel-number 4 --category Film --description 'A film.' --favourite-id 4294967295";

TEST_F(KelboGuideTool, RecordsThroughTheMenuAndTheRecorderListsIt) {
    settings("DEFAULT Template=1\nHalf D1=1\n");
    const Result menu = guide("menu");
    ASSERT_EQ(menu.status, 0) << menu.err;
    EXPECT_EQ(menu.out, "Record with DEFAULT Template\nRecord with Half D1\n");

    const Result recorded = guide("record --entry 1" + kRecordArgs);
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    struct stat st {};
    ASSERT_EQ(::stat(schedule().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the schedule may name streams with a password";
    const std::string text = readFile(schedule());
    EXPECT_NE(text.find("FavouriteID  : 4294967295\r\nDescription  : A film.\r\nTemplate     : Half D1\r\n"),
              std::string::npos)
        << text;

    const Result list = run("kelbo-schedule", "list --json");
    ASSERT_EQ(list.status, 0) << list.err;
    const auto rows = nlohmann::json::parse(list.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["Programme"], "Film Night");
    EXPECT_EQ(rows[0]["IndexString"], "200303052100");
    EXPECT_EQ(rows[0]["Template"], "Half D1");
}

// A title with a line break must not choose the folder the recorder records
// into, nor a description line the buffers.
TEST_F(KelboGuideTool, GuideTextCannotSetFieldsTheRecorderActsOn) {
    settings("DEFAULT Template=1\n");
    const Result recorded = guide(
        "record --entry 0 --name 'Evil\r\nFileName     : /srv/outside/evil.mpg'"
        " --start '05-03-2003 21:00' --duration 60 --channel-name Four --channel-number 4"
        " --description 'Plot.\nStartBuffer  : 600\n----------BREAK----------\nDuration     : 1'");
    ASSERT_EQ(recorded.status, 0) << recorded.err;

    const Result list = run("kelbo-schedule", "list --json --now '01-03-2003 12:00:00'");
    ASSERT_EQ(list.status, 0) << list.err;
    const auto rows = nlohmann::json::parse(list.out);
    ASSERT_EQ(rows.size(), 1u) << readFile(schedule());
    EXPECT_EQ(rows[0]["Programme"], "Evil  FileName     : /srv/outside/evil.mpg");
    EXPECT_EQ(rows[0]["Filename"].get<std::string>().find("/srv/outside"), std::string::npos)
        << rows[0]["Filename"];
    EXPECT_EQ(rows[0]["SBuf"], "0");
    EXPECT_EQ(rows[0]["Duration"], "60");
}

TEST_F(KelboGuideTool, RefusesBadArgumentsAndAMissingAddin) {
    settings("");
    EXPECT_EQ(guide("record --entry 0 --name X").status, 2);
    const Result noEntry = guide("record --entry 3" + kRecordArgs);
    EXPECT_EQ(noEntry.status, 1);
    EXPECT_NE(noEntry.err.find("no entry 3"), std::string::npos) << noEntry.err;
    EXPECT_EQ(guide("record --entry 0 --start 'soon'" + kRecordArgs.substr(kRecordArgs.find(" --duration"))).status, 2);
    EXPECT_EQ(guide("record --entry 0 --reminder-id -1" + kRecordArgs).status, 2);
    EXPECT_EQ(guide("frobnicate").status, 2);
    const Result noAddin = guide("--addin /no/such/kelbo.dgaddin menu");
    EXPECT_EQ(noAddin.status, 1);
    EXPECT_NE(noAddin.err.find("cannot load the add-in"), std::string::npos) << noAddin.err;
    EXPECT_FALSE(std::filesystem::exists(schedule()));
}

// In a sandbox without /proc the host cannot tell where it is: it must not
// then take a library of the add-in's name from the folder it was started in.
TEST_F(KelboGuideTool, NeverLoadsAnAddinFromTheFolderItWasStartedIn) {
    if (std::system("unshare --mount true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace here (root and unshare)";
    writeFile(dir / "kelbo.dgaddin", "not a library");
    const Result r = shell("unshare --mount sh -c \"mount -t tmpfs none /proc && cd '" + dir.path().string() +
                           "' && exec '" + KELBO_BUILD_DIR + "/kelbo-guide' menu\"");
    EXPECT_EQ(r.err.find(dir.path().string() + "/kelbo.dgaddin"), std::string::npos) << r.err;
    EXPECT_TRUE(r.status == 0 || r.err.find("cannot load the add-in: /") != std::string::npos) << r.err;
}

TEST_F(KelboGuideTool, ListsAnXmltvFileAndSaysWhatItSkipped) {
    writeFile(dir / "listing.xml", kXmltvSample);
    const Result list = guide("xmltv --list '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(list.status, 0) << list.err;
    // A channel without a number gets one of its own.
    const std::string first = list.out.substr(0, list.out.find('\n'));
    EXPECT_EQ(first.substr(first.find(' ')), " Named\t05-03-2003 06:00\t30\tEarly Show\t\t\t");
    EXPECT_EQ(first.find_first_not_of("0123456789"), 6u) << first;
    EXPECT_NE(list.out.find("4 Channel Four\t05-03-2003 07:05\t90\tMorning News\t\tNews, Current affairs\t"), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("1 programme without a stop time skipped"), std::string::npos) << list.err;

    // From now to 14 days ahead: a listing of 2003 keeps nothing, and says so.
    const Result window = guide("xmltv --list --days 14 '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(window.status, 0) << window.err;
    EXPECT_EQ(window.out, "");
    EXPECT_NE(window.err.find("2 programmes outside the days kept left out"), std::string::npos) << window.err;
    EXPECT_EQ(guide("xmltv --list --days 0 '" + (dir / "listing.xml").string() + "'").status, 2);

    writeFile(dir / "notes.xml", "Monday: news at six\n");
    const Result bad = guide("xmltv --list '" + (dir / "notes.xml").string() + "'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("is not a readable XMLTV listing"), std::string::npos) << bad.err;
}

// Peak memory of a child process, in kilobytes.
long peakKilobytes(const std::vector<std::string>& argv, const std::string& stdoutFile) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen(stdoutFile.c_str(), "w", stdout);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

TEST_F(KelboGuideTool, StreamsA200MegabyteListingInBoundedMemory) {
    const auto file = dir / "big.xml";
    int programmes = 0;
    {
        std::ofstream out(file, std::ios::binary);
        out << "<tv><channel id='c'><display-name>7</display-name></channel>\n";
        const std::string description(20000, 'd');
        for (std::streamoff size = 0; size < 200LL * 1024 * 1024; size = out.tellp(), ++programmes)
            out << "<programme start='20030305" << (10 + programmes % 10)
                << "0000 +0000' stop='20030305" << (10 + programmes % 10)
                << "3000 +0000' channel='c'><title>T" << programmes << "</title><desc>" << description
                << "</desc><extra>?</extra></programme>\n";
        out << "</tv>\n";
    }
    const long peak = peakKilobytes({std::string(KELBO_BUILD_DIR) + "/kelbo-guide", "xmltv", "--list", file.string()},
                                    (dir / "out.txt").string());
    std::filesystem::remove(file);
    ASSERT_GT(peak, 0) << "kelbo-guide failed";
    EXPECT_LT(peak, 120 * 1024) << "peak " << peak << " KB for a 200 MB file";
    std::ifstream listed(dir / "out.txt");
    int lines = 0;
    for (std::string line; std::getline(listed, line);) ++lines;
    EXPECT_EQ(lines, programmes);
}

// Grabbers write one channel after another; 80 channels of 2500 programmes
// must all be listed, in bounded memory.
TEST_F(KelboGuideTool, ListsEveryChannelOfA200000ProgrammeListingInUnder150Megabytes) {
    const auto file = dir / "big.xml";
    const int channels = 80, perChannel = 2500;
    {
        std::ofstream out(file, std::ios::binary);
        out << "<tv>\n";
        for (int c = 0; c < channels; ++c)
            out << "<channel id='c" << c << "'><display-name>" << c + 101 << "</display-name><display-name>Channel "
                << c << "</display-name></channel>\n";
        const auto from = std::chrono::sys_days{std::chrono::year{2027} / 1 / 1};
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < perChannel; ++i)
                out << xmltvProgramme("c" + std::to_string(c), from + std::chrono::minutes(30 * i), 30,
                                      "<title>Programme " + std::to_string(i % 400) + "</title><sub-title>Part " +
                                          std::to_string(i) + "</sub-title><desc>About programme " +
                                          std::to_string(i % 900) + " of the day, told at some length.</desc>"
                                          "<credits><director>Ann Lee</director><actor>Cy Dunn</actor></credits>"
                                          "<category>Drama</category>");
        out << "</tv>\n";
    }
    const long peak = peakKilobytes({std::string(KELBO_BUILD_DIR) + "/kelbo-guide", "xmltv", "--list", file.string()},
                                    (dir / "out.txt").string());
    std::filesystem::remove(file);
    ASSERT_GT(peak, 0) << "kelbo-guide failed";
    EXPECT_LT(peak, 150 * 1024) << "peak " << peak << " KB for 200000 programmes";
    std::ifstream listed(dir / "out.txt");
    std::set<std::string> seen;
    int lines = 0;
    for (std::string line; std::getline(listed, line); ++lines) seen.insert(line.substr(0, line.find('\t')));
    EXPECT_EQ(lines, channels * perChannel);
    EXPECT_EQ(seen.size(), size_t(channels));
    EXPECT_TRUE(seen.contains("180 Channel 79"));
}

TEST_F(KelboGuideTool, SeriesRulesFromTheCommandLineRecordEachProgrammeOnce) {
    settings("DEFAULT Template=1\nHalf D1=1\n");
    const Result added = guide("rules add --title 'quiz' --channel 'One' --new-only --entry 1");
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(guide("rules add --title 'News' --entry 0").status, 0);
    EXPECT_EQ(guide("rules add --title 'News'").status, 2);
    EXPECT_EQ(guide("rules add --entry 0").status, 2);
    const Result list = guide("rules list");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "1: \"quiz\" on \"One\", entry 1, new episodes only\n2: \"News\" on any channel, entry 0\n");
    EXPECT_NE(readFile(dir / "config" / "kelbo" / "registry.ini").find("[Software\\VB and VBA Program Settings\\Kelbo\\Guide Rules]"),
              std::string::npos);

    using namespace std::chrono;
    const auto soon = floor<minutes>(system_clock::now()) + hours(3);
    std::string text = "<tv><channel id='a'><display-name>1</display-name><display-name>One</display-name></channel>"
                       "<channel id='b'><display-name>2</display-name><display-name>Two</display-name></channel>";
    text += xmltvProgramme("a", soon, 30, "<title>Quiz</title>");
    text += xmltvProgramme("a", soon + days(1), 30, "<title>Quiz</title><previously-shown/>");
    text += xmltvProgramme("b", soon, 30, "<title>Quiz</title>");
    text += xmltvProgramme("b", soon + hours(1), 30, "<title>NEWS</title>");
    text += "</tv>";
    writeFile(dir / "listing.xml", text);
    const Result applied = guide("rules apply '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_NE(applied.out.find("2 recorded, 0 already in the schedule"), std::string::npos) << applied.out;
    const Result again = guide("rules apply '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("0 recorded, 2 already in the schedule"), std::string::npos) << again.out;

    const Result scheduled = run("kelbo-schedule", "list --json");
    ASSERT_EQ(scheduled.status, 0) << scheduled.err;
    const auto rows = nlohmann::json::parse(scheduled.out);
    ASSERT_EQ(rows.size(), 2u);
    std::set<std::string> titles;
    for (const auto& row : rows) titles.insert(row["Programme"].get<std::string>());
    EXPECT_EQ(titles, (std::set<std::string>{"Quiz", "NEWS"}));

    ASSERT_EQ(guide("rules remove 1").status, 0);
    EXPECT_EQ(guide("rules list").out, "1: \"News\" on any channel, entry 0\n");
    EXPECT_EQ(guide("rules remove 5").status, 1);
    EXPECT_EQ(guide("rules remove x").status, 2);
    EXPECT_EQ(guide("rules frobnicate").status, 2);
}

// A listing as the XMLTV project's own writer makes it, valid by its DTD:
// the DTD's own zone example, a tz database zone, credits, sub-title,
// categories and an episode number.
TEST_F(KelboGuideTool, ReadsAListingWrittenByXmltvWriter) {
    writeFile(dir / "write.pl", R"(use XMLTV;
my $w = new XMLTV::Writer(encoding => 'UTF-8');
$w->start({ 'generator-info-name' => 'kelbo test' });
$w->write_channel({ id => 'four.example', 'display-name' => [ [ '4' ], [ 'Channel Four', 'en' ] ] });
$w->write_programme({ channel => 'four.example', start => '200007281733 BST', stop => '200007281903 BST',
  title => [ [ 'Detectives', 'en' ] ], 'sub-title' => [ [ 'The Last Train', 'en' ] ],
  desc => [ [ 'A body on the line.', 'en' ] ],
  credits => { director => [ 'Ann Lee' ], actor => [ 'Cy Dunn', 'Di Egan' ] },
  category => [ [ 'Drama', 'en' ], [ 'Crime', 'en' ] ],
  'episode-num' => [ [ '2.5.0/1', 'xmltv_ns' ] ], 'previously-shown' => { } });
$w->write_programme({ channel => 'four.example', start => '20000728190300 Europe/London',
  stop => '20000728200300 Europe/London', title => [ [ 'News' ] ] });
$w->end();
)");
    const std::string listing = (dir / "listing.xml").string();
    ASSERT_EQ(std::system(("perl '" + (dir / "write.pl").string() + "' > '" + listing + "'").c_str()), 0)
        << "libxmltv-perl is missing (scripts/install-deps)";
    ASSERT_EQ(std::system(("xmllint --noout --dtdvalid /usr/share/xmltv/xmltv.dtd '" + listing + "' 2>/dev/null").c_str()), 0)
        << readFile(listing);

    environment = "TZ=Europe/London";
    const Result list = guide("xmltv --list '" + listing + "'");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(list.err.empty()) << list.err;  // nothing skipped
    EXPECT_EQ(list.out,
              "4 Channel Four\t28-07-2000 17:33\t90\tDetectives\tS3 E6 P1/1\tDrama, Crime\t"
              "The Last Train. A body on the line. Director: Ann Lee Starring: Cy Dunn, Di Egan (S3 E6 P1/1)\n"
              "4 Channel Four\t28-07-2000 19:03\t60\tNews\t\t\t\n");
}

// gzip as the command-line tool makes it, as guides are published.
void gzipFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    ASSERT_EQ(std::system(("gzip -c '" + from.string() + "' > '" + to.string() + "'").c_str()), 0);
}

std::vector<kelbo::ScheduleItem> scheduledItems(const std::filesystem::path& file) {
    std::istringstream in(readFile(file));
    kelbo::ScheduleReader reader(in);
    std::vector<kelbo::ScheduleItem> items;
    while (const auto record = reader.next()) {
        EXPECT_TRUE(record->accepted) << record->problem;
        items.push_back(record->item);
    }
    return items;
}

// A public guide (gzipped, channels known by name, every channel with the
// same start times) and a public playlist: a series rule records the
// programme on every channel, each under a number of its own, the numbers
// and names the window and `xmltv --list` show, and nothing twice.
TEST_F(KelboGuideTool, RulesRecordNamedChannelsOfAGzippedGuideUnderTheirOwnNumbers) {
    writeFile(dir / "channels.m3u", realPlaylist());
    settings("DEFAULT Template=1\n", "ChannelPlaylist=" + (dir / "channels.m3u").string() + "\n");
    const auto soon = std::chrono::floor<std::chrono::minutes>(std::chrono::system_clock::now()) + std::chrono::hours(3);
    writeFile(dir / "guide.xml", realGuide(soon));
    gzipFile(dir / "guide.xml", dir / "guide.xml.gz");
    const std::string listing = "'" + (dir / "guide.xml.gz").string() + "'";
    ASSERT_EQ(guide("rules add --title 'Inside the Palace' --entry 0").status, 0);

    const Result applied = guide("rules apply " + listing);
    ASSERT_EQ(applied.status, 0) << applied.err;
    const std::string channels = std::to_string(realChannels().size());
    EXPECT_NE(applied.out.find(channels + " recorded, 0 already in the schedule"), std::string::npos) << applied.out;
    const auto items = scheduledItems(schedule());
    ASSERT_EQ(items.size(), realChannels().size());
    std::set<std::string> slots, handed;
    for (const auto& item : items) {
        EXPECT_EQ(item.StartTime, items[0].StartTime);
        EXPECT_TRUE(!item.ChannelNumber.empty() &&
                    item.ChannelNumber.find_first_not_of("0123456789") == std::string::npos)
            << item.ChannelName << ": " << item.ChannelNumber;
        EXPECT_EQ(item.Description, "Pilot. " + kPilotDescription) << item.ChannelName;
        slots.insert(kelbo::programmeSlotKey(item.StartDate, item.StartTime, item.ChannelNumber, item.ChannelName));
        handed.insert(item.ChannelNumber + " " + item.ChannelName);
    }
    EXPECT_EQ(slots.size(), items.size()) << "every programme on a channel of its own";

    // The window's rows name the same channels.
    const Result list = guide("xmltv --list " + listing);
    ASSERT_EQ(list.status, 0) << list.err;
    std::set<std::string> listed;
    std::istringstream rows(list.out);
    for (std::string row; std::getline(rows, row);)
        if (row.find("\tInside the Palace\t") != std::string::npos) listed.insert(row.substr(0, row.find('\t')));
    EXPECT_EQ(listed, handed);
    EXPECT_TRUE(listed.contains("101 BBC One")) << "the playlist's tvg-chno";
    EXPECT_TRUE(listed.contains("1 \u041f\u0435\u0440\u0432\u044b\u0439 \u043a\u0430\u043d\u0430\u043b"))
        << "the listing's own <lcn>";

    const std::string before = readFile(schedule());
    const Result again = guide("rules apply " + listing);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("0 recorded, " + channels + " already in the schedule"), std::string::npos) << again.out;
    EXPECT_EQ(readFile(schedule()), before);
}

TEST_F(KelboGuideTool, StreamsA200MegabyteGzippedListingInBoundedMemory) {
    const auto file = dir / "big.xml.gz";
    int programmes = 0;
    {
        FILE* gzip = ::popen(("gzip -1 > '" + file.string() + "'").c_str(), "w");
        ASSERT_TRUE(gzip);
        const std::string description(20000, 'd');
        std::fputs("<tv><channel id='c'><display-name>BBC One</display-name></channel>\n", gzip);
        for (long long size = 0; size < 200LL * 1024 * 1024; ++programmes) {
            const std::string hour = std::to_string(10 + programmes % 10);
            const std::string element = "<programme start='20030305" + hour + "0000 +0000' stop='20030305" + hour +
                                        "3000 +0000' channel='c'><title>T" + std::to_string(programmes) +
                                        "</title><desc>" + description + "</desc></programme>\n";
            std::fputs(element.c_str(), gzip);
            size += static_cast<long long>(element.size());
        }
        std::fputs("</tv>\n", gzip);
        ASSERT_EQ(::pclose(gzip), 0);
    }
    const long peak = peakKilobytes({std::string(KELBO_BUILD_DIR) + "/kelbo-guide", "xmltv", "--list", file.string()},
                                    (dir / "out.txt").string());
    ASSERT_GT(peak, 0) << "kelbo-guide failed";
    EXPECT_LT(peak, 120 * 1024) << "peak " << peak << " KB for 200 MB of listing";
    std::ifstream listed(dir / "out.txt");
    int lines = 0;
    for (std::string line; std::getline(listed, line);) ++lines;
    EXPECT_EQ(lines, programmes);
}

}  // namespace

// Guide text and arguments reach the terminal with their control characters
// escaped: an 8-bit CSI in a title, a tab that would shift the columns, an
// escape sequence in a rule's title.
TEST_F(KelboGuideTool, ControlCharactersOfGuideTextAreShownEscaped) {
    using namespace std::chrono;
    const auto soon = floor<minutes>(system_clock::now()) + hours(3);
    writeFile(dir / "listing.xml",
              "<tv><channel id='a'><display-name>1</display-name><display-name>One</display-name></channel>" +
                  xmltvProgramme("a", soon, 30, "<title>Quiz&#x9b;2J&#9;Night</title>") + "</tv>");
    const Result list = guide("xmltv --list '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("\tQuiz\\u009b2J\\tNight\t"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("\xc2\x9b"), std::string::npos);

    settings("DEFAULT Template=1\n");
    const Result added = guide("rules add --title \"$(printf 'Quiz\\033]0;owned\\007')\" --entry 0");
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "Stored: \"Quiz\\x1b]0;owned\\x07\" on any channel, entry 0\n");
    EXPECT_EQ(guide("rules list").out, "1: \"Quiz\\x1b]0;owned\\x07\" on any channel, entry 0\n");
}

// A channel playlist that is a FIFO would wait for a writer for ever: the
// listing is shown without it, saying why.
TEST_F(KelboGuideTool, APlaylistThatIsAFifoIsPassedOverWithTheReason) {
    const std::filesystem::path fifo = dir / "tv.m3u";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    settings("DEFAULT Template=1\n", "ChannelPlaylist=" + fifo.string() + "\n");
    writeFile(dir / "listing.xml", kXmltvSample);
    environment = "timeout 10 env";
    const Result list = guide("xmltv --list '" + (dir / "listing.xml").string() + "'");
    EXPECT_EQ(list.status, 0) << "124: still waiting after 10 s";
    EXPECT_NE(list.err.find("the channel playlist " + fifo.string() + " cannot be read: not a regular file"),
              std::string::npos) << list.err;
    EXPECT_NE(list.out.find("Morning News"), std::string::npos) << list.out;
}

// A zone name of the tz database's form in every programme, each one made
// up: the names that are not found are not all kept, so memory stays as for
// a listing that names one zone throughout.
TEST_F(KelboGuideTool, MadeUpZoneNamesInEveryProgrammeDoNotGrowMemory) {
    const auto write = [this](const std::string& name, bool distinct) {
        std::ofstream out(dir / name, std::ios::binary);
        out << "<tv><channel id='c'><display-name>1</display-name></channel>\n";
        for (int i = 0; i < 300000; ++i) {
            const std::string zone = "Fictional/Region_Of_Programme_Number_" + std::to_string(distinct ? i : 0);
            out << "<programme start='20270101000000 " << zone << "' stop='20270101003000 " << zone
                << "' channel='c'><title>T</title></programme>\n";
        }
        out << "</tv>\n";
        return (dir / name).string();
    };
    const std::string same = write("same.xml", false), distinct = write("distinct.xml", true);
    const std::string guide = std::string(KELBO_BUILD_DIR) + "/kelbo-guide";
    const long base = peakKilobytes({guide, "xmltv", "--list", same}, (dir / "same.txt").string());
    const long peak = peakKilobytes({guide, "xmltv", "--list", distinct}, (dir / "distinct.txt").string());
    ASSERT_GT(base, 0);
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak - base, 8 * 1024) << "peak " << peak << " KB against " << base << " KB with one zone name";
}
