#include "../guide/xmltv_sample.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
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
        const std::string command = "XDG_CONFIG_HOME='" + (dir / "config").string() + "' HOME='" +
                                    dir.path().string() + "' '" + KELBO_BUILD_DIR + "/" + program +
                                    "' " + args + " 2>'" + (dir / "stderr").string() + "'";
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
    void settings(const std::string& templates) {
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" +
                      schedule().string() + "\nTemplate=Standard\n" +
                      "[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n" + templates);
    }
    std::filesystem::path schedule() const { return dir / "schedule.txt"; }

    TempDir dir;
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

TEST_F(KelboGuideTool, ListsAnXmltvFileAndSaysWhatItSkipped) {
    writeFile(dir / "listing.xml", kXmltvSample);
    const Result list = guide("xmltv --list '" + (dir / "listing.xml").string() + "'");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out.substr(0, list.out.find('\n')), "0 Named\t05-03-2003 06:00\t30\tEarly Show\t\t");
    EXPECT_NE(list.out.find("4 Channel Four\t05-03-2003 07:05\t90\tMorning News\tNews\t"), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("1 programme without a stop time skipped"), std::string::npos) << list.err;

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

}  // namespace
