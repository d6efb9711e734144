// The real program keeps the picture and standard chosen in Options across
// a restart: the test pattern recorded at NTSC's size with the brightness
// the user gave it.
#include "support/command_output.h"
#include "support/options_rig.h"
#include "support/recorder_home.h"
#include "recorder/forms/settings_loader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using namespace std::chrono_literals;

namespace {

// Records the due programme for a few seconds and ends the program as a
// user does; the new part file.
std::filesystem::path recordAWhile(const RecorderHome& home) {
    const auto before = filesBelow(home.movies());
    BackgroundProgram kelbo(KELBO_PROGRAM, {}, home.environment(), home.errorFile());
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (filesBelow(home.movies()).size() == before.size() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(100ms);
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(kelbo.stop(SIGTERM, 15s), 0) << readFile(home.errorFile());
    for (const auto& file : filesBelow(home.movies()))
        if (std::find(before.begin(), before.end(), file) == before.end()) return file;
    return {};
}

// "WIDTHxHEIGHT" of the file's pictures.
std::string pictureSize(const std::filesystem::path& file) {
    std::istringstream values(commandOutput("ffprobe -v error -select_streams v:0 -show_entries "
                                            "stream=width,height -of default=nw=1:nk=1 '" + file.string() + "'"));
    std::string width, height;
    values >> width >> height;
    return width + "x" + height;
}

// The mean luma of every picture of the file.
double meanLuma(const std::filesystem::path& file) {
    std::istringstream lines(commandOutput("ffmpeg -v error -i '" + file.string() +
                                           "' -vf signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=- "
                                           "-f null - 2>/dev/null"));
    double sum = 0;
    int pictures = 0;
    const std::string key = "lavfi.signalstats.YAVG=";
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key, 0) != 0) continue;
        sum += std::stod(line.substr(key.size()));
        ++pictures;
    }
    return pictures > 0 ? sum / pictures : -1;
}

}  // namespace

TEST(ProgramPictureSettings, NtscAndABrightnessChosenInOptionsRecordAfterARestart) {
    RecorderHome home;
    writeFile(home.schedule(), recordAt("Pattern", startOfThisMinute(), 2).text());
    const auto standard = recordAWhile(home);
    ASSERT_FALSE(standard.empty()) << "no recording started";
    EXPECT_EQ(pictureSize(standard), "720x576") << "PAL until the user chooses otherwise";

    {
        // Options while the preview runs, as the dialog's OK does it, on the
        // user's own store and the templates the program installed.
        OptionsRig options;
        options.store = SettingsStore(home.settingsFile());
        const std::string templates = templateKeyFor((home / "data/kelbo/device").string());
        ASSERT_EQ(Load_Settings(options.form, templates, home.path().string()), SettingsLoadResult::Loaded);
        options.device.state = CaptureDevice::Previewing;
        options.form.OptionsMenu_Click();
        options.form.pictureScrolled(PictureControl::Brightness, 7500);
        options.form.choosePal(false);
        options.form.Command_OK_Click();
    }

    const auto ntsc = recordAWhile(home);
    ASSERT_FALSE(ntsc.empty()) << "no recording after the restart";
    EXPECT_EQ(pictureSize(ntsc), "720x480");
    // The same pattern, brightened by the device's colour balance.
    const double before = meanLuma(standard), after = meanLuma(ntsc);
    ASSERT_GT(before, 0);
    EXPECT_GT(after, before + 40) << before << " -> " << after;

    const std::string settings = readFile(home.settingsFile());
    EXPECT_NE(settings.find("\nVideoStandard=NTSC\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("\nBrightness=7500\n"), std::string::npos) << settings;
}
