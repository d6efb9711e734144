// The translation hook of the layers below the widgets: texts go through
// the translator the program installs, with their context, and the
// arguments fill the places a translation gives them.
#include "recorder/forms/add_schedule_form.h"
#include "recorder/engine/recording_notices.h"
#include "recorder/forms/recordings.h"
#include "recorder/ports/translation.h"
#include "support/recorder_rig.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// A translator with a few German texts, as the program's would give them;
// every other text comes back as it is, as from a translation with gaps.
class GermanTranslator {
public:
    GermanTranslator() {
        setTranslator([](const char* context, const char* text) {
            static const std::map<std::pair<std::string, std::string>, std::string> german{
                {{"Recordings", "Quit Kelbo"}, "Kelbo beenden"},
                {{"AddScheduleForm", "Incomplete Data"}, "Unvollständige Angaben"},
                {{"AddScheduleForm", "Must enter a program duration"}, "Bitte eine Dauer eingeben"},
                {{"RecordingNotices", "Recording %1 into %2"}, "In %2 wird %1 aufgenommen"},
                {{"StatusPanel", "%1 on %2"}, "%1 auf %2"},
                {{"StatusPanel", "%1 starts in %2"}, "%1 beginnt in %2"},
            };
            const auto found = german.find({context, text});
            return found != german.end() ? found->second : std::string(text);
        });
    }
    ~GermanTranslator() { setTranslator({}); }
    GermanTranslator(const GermanTranslator&) = delete;
    GermanTranslator& operator=(const GermanTranslator&) = delete;
};

}  // namespace

TEST(TranslationTest, FillInPutsEachArgumentInItsPlaceOnce) {
    EXPECT_EQ(fillIn("Recording %1 into %2", {"\"News\"", "News.mpg"}), "Recording \"News\" into News.mpg");
    // A translation may put the places in another order.
    EXPECT_EQ(fillIn("In %2 wird %1 aufgenommen", {"\"News\"", "News.mpg"}), "In News.mpg wird \"News\" aufgenommen");
    // Guide text is hostile: an argument's own "%2" is not filled in again.
    EXPECT_EQ(fillIn("%1 on %2", {"100%2 Fun", "BBC"}), "100%2 Fun on BBC");
    // A place without an argument, and a percent sign of the text, stay.
    EXPECT_EQ(fillIn("%1 at 50% of %3", {"Film"}), "Film at 50% of %3");
    EXPECT_EQ(fillIn("ends with %", {}), "ends with %");
}

TEST(TranslationTest, WithoutATranslatorEveryTextIsItsEnglishSelf) {
    EXPECT_EQ(translate("Recordings", "Quit Kelbo"), "Quit Kelbo");
    EXPECT_EQ(translate("Anything", "Text with %1"), "Text with %1");
}

TEST(TranslationTest, BoxesAndNoticesOfTheHeadlessLayersGoThroughTheTranslator) {
    RecorderRig rig(DateTime::fromCivil(2026, 12, 7, 14, 30));
    rig.settings.templates = {"DVD"};
    const GermanTranslator german;

    // A confirmation of the forms layer, title translated, text left English
    // where the translation has a gap.
    rig.device.state = CaptureDevice::Recording;
    rig.messages.answer = MessageBoxes::Answer::Cancel;
    EXPECT_FALSE(confirmQuit(rig.device, rig.messages));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].title, "Kelbo beenden");
    EXPECT_EQ(rig.messages.shown[0].text, "A programme is being recorded. Quit Kelbo and stop the recording?");

    // A text kept in a table until it is shown.
    rig.device.state = CaptureDevice::Idle;
    AddScheduleForm form(AddScheduleContext{rig.document, rig.next, rig.device, rig.clock, rig.settings, rig.messages});
    form.programme = "Film";
    form.duration.clear();
    form.Add_Click();
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].title, "Unvollständige Angaben");
    EXPECT_EQ(rig.messages.shown[1].text, "Bitte eine Dauer eingeben");

    // An engine notice, its parts placed where the translation puts them.
    const Announcement started = recordingStartedNotice("\"News\"", "/videos/News.mpg");
    EXPECT_EQ(started.text, "In News.mpg wird \"News\" aufgenommen");
}

TEST(TranslationTest, TheStatusBarShowsItsTextsTranslatedAndReadsThemBackInEnglish) {
    RecorderRig rig(DateTime::fromCivil(2026, 12, 7, 18, 0));
    const GermanTranslator german;
    rig.loadSchedule(programme("News", DateTime::fromCivil(2026, 12, 7, 20, 0), 30).text());
    rig.tick();
    // kelbo --status and the recorder read the English text back.
    EXPECT_EQ(rig.panel(panel::kProgramme).rfind("News on ", 0), 0u) << rig.panel(panel::kProgramme);
    EXPECT_NE(rig.panel(panel::kProgramme).find(" starts in 000:0"), std::string::npos);
    // The user reads it in German, with the same programme, channel and time.
    const std::string shown = rig.statusBar.shown[panel::kProgramme];
    EXPECT_EQ(shown.rfind("News auf ", 0), 0u) << shown;
    EXPECT_NE(shown.find(" beginnt in 000:0"), std::string::npos) << shown;
    const std::string english = rig.panel(panel::kProgramme);
    EXPECT_EQ(shown.substr(shown.find(" beginnt in ") + 12), english.substr(english.find(" starts in ") + 11));
}
