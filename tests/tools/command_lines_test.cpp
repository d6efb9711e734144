// Every program of the project, run as a user runs it: --help is answered
// on standard output with status 0 wherever it stands, and an option or
// argument a program does not know gives its usage on standard error and
// status 2 before it does anything.
#include "support/program_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

struct Program {
    std::string name;
    std::vector<std::string> withHelp;  // --help after a command's own words
    std::vector<std::string> mistyped;  // a command with an option it lacks
};

const Program kPrograms[] = {
    {"kelbo", {"--status", "--help"}, {"--stop"}},
    {"kelbo-schedule", {"list", "--json", "--help"}, {"list", "--jsno"}},
    {"kelbo-capture", {"--source", "test", "--help"}, {"--seconds", "2", "--preveiw", "out.mpg"}},
    {"kelbo-guide", {"menu", "--help"}, {"menu", "--bogus"}},
};

class CommandLines : public ::testing::Test {
protected:
    ProgramRun run(const Program& program, const std::vector<std::string>& arguments) const {
        return runProgram(std::string(KELBO_BUILD_DIR) + "/" + program.name, arguments,
                          {{"HOME", home.path().string()},
                           {"XDG_CONFIG_HOME", (home / "config").string()},
                           {"XDG_DATA_HOME", (home / "data").string()},
                           {"XDG_STATE_HOME", (home / "state").string()},
                           {"QT_QPA_PLATFORM", "offscreen"}},
                          10s);
    }
    bool homeIsEmpty() const { return std::filesystem::is_empty(home.path()); }

    TempDir home;
};

TEST_F(CommandLines, HelpIsStatusZeroOnStandardOutputWhereverItStands) {
    for (const Program& program : kPrograms) {
        for (const auto& arguments : {std::vector<std::string>{"--help"}, {"-h"}, program.withHelp}) {
            const ProgramRun r = run(program, arguments);
            EXPECT_EQ(r.status, 0) << program.name << ' ' << arguments.front() << '\n' << r.err;
            EXPECT_NE(r.out.find(program.name), std::string::npos) << program.name;
            EXPECT_EQ(r.out.find("sage: " + program.name), 1u) << program.name << ": " << r.out;
            EXPECT_EQ(r.err, "") << program.name;
        }
    }
    EXPECT_TRUE(homeIsEmpty());
}

TEST_F(CommandLines, AnUnknownOptionIsStatusTwoWithTheUsageOnStandardErrorAndDoesNothing) {
    for (const Program& program : kPrograms) {
        for (const auto& arguments : {std::vector<std::string>{"--bogus"}, program.mistyped}) {
            const ProgramRun r = run(program, arguments);
            EXPECT_EQ(r.status, 2) << program.name << ' ' << arguments.front();
            EXPECT_EQ(r.out, "") << program.name;
            EXPECT_NE(r.err.find("sage: " + program.name), std::string::npos) << program.name << ": " << r.err;
        }
    }
    EXPECT_TRUE(homeIsEmpty()) << "no settings, log or lock written";
    EXPECT_FALSE(std::filesystem::exists(home / "out.mpg"));
}

}  // namespace

// What kelbo-capture says about a file or a source (a stream server's
// words among them) reaches the terminal with its control characters escaped.
TEST_F(CommandLines, KelboCaptureShowsControlCharactersEscaped) {
    const std::string file = (home / "none\x1b[2J" / "out.mpg").string();
    const ProgramRun r = run({"kelbo-capture", {}, {}}, {"--source", "test", "--seconds", "1", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot record to " + (home / "none\\x1b[2J" / "out.mpg").string()), std::string::npos)
        << r.err;
}
