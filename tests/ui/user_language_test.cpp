// The program in the user's language: the main window started as the
// program starts it (tests/ui/language_probe.cpp), in a process of its own
// with the locale's variables set as a user's session sets them.
#include "support/program_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kelbo::testing;

namespace {

// The probe's lines by their label ("menus: &File &View &Help").
std::map<std::string, std::string> probeIn(const Environment& language) {
    const TempDir state;
    Environment environment{{"QT_QPA_PLATFORM", "offscreen"}, {"TZ", "UTC"},
                            {"XDG_STATE_HOME", state.path().string()},
                            {"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", ""}};
    for (const auto& [name, value] : language) environment[name] = value;
    const ProgramRun run = runProgram(KELBO_LANGUAGE_PROBE, {}, environment);
    EXPECT_EQ(run.status, 0) << run.err;
    std::map<std::string, std::string> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos) lines[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return lines;
}

}  // namespace

TEST(UserLanguageTest, AGermanSessionReadsGermanMenusQtButtonsAndRecorderNotices) {
    for (const Environment& german : {Environment{{"LANG", "de_DE.UTF-8"}},
                                      Environment{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}},
                                      Environment{{"LANG", "fr_FR.UTF-8"}, {"LANGUAGE", "de:fr"}}}) {
        SCOPED_TRACE(german.begin()->second);
        auto probe = probeIn(german);
        EXPECT_EQ(probe["translation"], "found");
        EXPECT_EQ(probe["menus"], "&Datei &Ansicht &Hilfe");
        // Qt's own translation, for its standard buttons and dialogs.
        EXPECT_EQ(probe["cancel"], "Abbrechen");
        // A text of the layers below the widgets, through their hook.
        EXPECT_EQ(probe["notice"], "Aufnahme gestartet | Aufnahme von „News“ auf BBC1 in News.mpg");
        // Dates keep their one format in every language.
        EXPECT_EQ(probe["date"], "07-12-2026");
        // The status bar shows its words in German but the recorder, and
        // kelbo --status, read them back as they were given.
        EXPECT_EQ(probe["programme panel"], "KEINE SENDUNGEN ZUM AUFNEHMEN");
        EXPECT_EQ(probe["programme read back"], "NO PROGRAMS TO RECORD");
    }
}

TEST(UserLanguageTest, EnglishAndLanguagesWithoutATranslationKeepTheEnglishTexts) {
    for (const Environment& other : {Environment{{"LANG", "C"}}, Environment{{"LANG", "en_GB.UTF-8"}},
                                     Environment{{"LANG", "C.UTF-8"}}, Environment{{"LANG", "ja_JP.UTF-8"}},
                                     Environment{{"LC_ALL", "POSIX"}, {"LANG", "de_DE.UTF-8"}}}) {
        SCOPED_TRACE(other.begin()->second);
        auto probe = probeIn(other);
        EXPECT_EQ(probe["translation"], "none");
        EXPECT_EQ(probe["menus"], "&File &View &Help");
        EXPECT_EQ(probe["notice"], "Recording started | Recording \"News\" on BBC1 into News.mpg");
        EXPECT_EQ(probe["date"], "07-12-2026");
        EXPECT_EQ(probe["programme panel"], "NO PROGRAMS TO RECORD");
        EXPECT_EQ(probe["programme read back"], "NO PROGRAMS TO RECORD");
        // Qt speaks Japanese on its own; the rest have Qt's English.
        EXPECT_EQ(probe["cancel"], other.begin()->second == "ja_JP.UTF-8" ? "キャンセル" : "Cancel");
    }
}
