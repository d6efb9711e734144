// The Options window driven offscreen: its controls reach the form, and the
// form's state reaches the controls.
#include "recorder/ui/options_dialog.h"
#include "recorder/forms/settings_loader.h"
#include "support/options_rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

class OptionsWindow : public ::testing::Test {
protected:
    OptionsWindow() {
        rig.setStored("Template", "DVD");
        Load_Settings(rig.form, rig.templateKey, rig.folder());
    }
    template <typename W>
    W* child(const char* name) {
        W* widget = dialog.findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    OptionsRig rig;
    ui::OptionsDialog dialog{rig.form};
};

TEST_F(OptionsWindow, IsCreatedHiddenWithTheDocumentedControls) {
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "Options");
    for (const char* name : {"template", "Default_Start_Buffer", "Default_End_Buffer", "ScheduleFile",
                             "Filestring", "floatfilename", "SplitNumber", "SplitUnits",
                             "Default_Brightness", "Default_Sharpness", "Default_Volume"})
        child<QWidget>(name);
    for (const char* name : {"Start_Buffer_Scroll", "Tint_Scroll", "Sharpness_Scroll"}) {
        auto* bar = child<QScrollBar>(name);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 32767);
    }
    EXPECT_EQ(child<QPushButton>("ScheduleFile_Browse")->toolTip(),
              "Browse for the schedule file on your hard disk");
    EXPECT_EQ(child<QCheckBox>("IsExpertMode")->text(), "Expert Mode - NO Confirmations");
    EXPECT_EQ(child<QComboBox>("template")->count(), 3);
    EXPECT_EQ(child<QListWidget>("Digiguide_Templates")->item(0)->checkState(), Qt::Checked);
}

TEST_F(OptionsWindow, DeviceControlsFollowThePreviewAndSharpnessStaysOff) {
    rig.form.OptionsMenu_Click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(child<QLineEdit>("Default_Brightness")->isEnabled());
    EXPECT_FALSE(child<QWidget>("IsComposite")->isEnabled());
    rig.form.Command_Cancel_Click();

    rig.device.state = CaptureDevice::Previewing;
    rig.device.setBrightness(1234);
    rig.form.OptionsMenu_Click();
    EXPECT_TRUE(child<QLineEdit>("Default_Brightness")->isEnabled());
    EXPECT_EQ(child<QLineEdit>("Default_Brightness")->text(), "1234");
    EXPECT_TRUE(child<QWidget>("IsComposite")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("Default_Sharpness")->isEnabled());
    EXPECT_FALSE(child<QScrollBar>("Sharpness_Scroll")->isEnabled());
}

TEST_F(OptionsWindow, TypingAndClickingOkStores) {
    rig.form.OptionsMenu_Click();
    auto* buffer = child<QLineEdit>("Default_Start_Buffer");
    buffer->selectAll();
    QTest::keyClicks(buffer, "12");
    QTest::mouseClick(child<QCheckBox>("IsPreviewRecording"), Qt::LeftButton);
    EXPECT_TRUE(child<QCheckBox>("IsHearAudioDuringRecord")->isChecked());
    child<QComboBox>("template")->setCurrentIndex(2);
    emit child<QComboBox>("template")->activated(2);
    QTest::mouseClick(child<QPushButton>("Command_OK"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(rig.stored("StartBuffer"), "12");
    EXPECT_EQ(rig.stored("HearPreviewAudio"), "1");
    EXPECT_EQ(rig.stored("Template"), "Mine");
}

TEST_F(OptionsWindow, TheStandardAndBrightnessChosenWhilePreviewingAreStoredByOk) {
    rig.device.state = CaptureDevice::Previewing;
    rig.form.OptionsMenu_Click();
    auto* ntsc = child<QRadioButton>("IsSSNTSC");
    // On the round button itself, as a user clicks it.
    QTest::mouseClick(ntsc, Qt::LeftButton, {}, QPoint(6, ntsc->height() / 2));
    auto* brightness = child<QLineEdit>("Default_Brightness");
    brightness->selectAll();
    QTest::keyClicks(brightness, "7300");
    QTest::mouseClick(child<QPushButton>("Command_OK"), Qt::LeftButton);
    EXPECT_EQ(rig.device.VideoStandard(), CaptureDevice::NTSC);
    EXPECT_EQ(rig.device.Brightness(), 7300);
    EXPECT_EQ(rig.stored("VideoStandard"), "NTSC");
    EXPECT_EQ(rig.stored("Brightness"), "7300");
    EXPECT_EQ(rig.stored("VideoSource"), "Composite");
}

TEST_F(OptionsWindow, AStreamUrlAndAChannelPlaylistTypedInAreStored) {
    rig.form.setCaptureSources({{"Test pattern", "test"}});
    rig.form.OptionsMenu_Click();
    auto* sources = child<QComboBox>("CaptureSource");
    ASSERT_TRUE(sources->isEditable());
    sources->lineEdit()->selectAll();
    QTest::keyClicks(sources->lineEdit(), "rtsp://127.0.0.1:8554/tv");
    QTest::keyClick(sources->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(sources->count(), 2);
    EXPECT_EQ(sources->currentText(), "rtsp://127.0.0.1:8554/tv");
    QTest::keyClicks(child<QLineEdit>("ChannelPlaylist"), "/srv/tv.m3u");
    QTest::mouseClick(child<QPushButton>("Command_OK"), Qt::LeftButton);
    EXPECT_EQ(rig.stored("CaptureSource"), "rtsp://127.0.0.1:8554/tv");
    EXPECT_EQ(rig.stored("ChannelPlaylist"), "/srv/tv.m3u");
}

TEST_F(OptionsWindow, TheTunersSpinBoxBesideTheCaptureSourceIsStoredByOk) {
    rig.form.setCaptureSources({{"Test pattern", "test"}});
    rig.form.OptionsMenu_Click();
    auto* tuners = child<QSpinBox>("Tuners");
    ASSERT_NE(tuners, nullptr);
    EXPECT_EQ(tuners->minimum(), 1);
    EXPECT_EQ(tuners->maximum(), 8);
    EXPECT_EQ(tuners->value(), 1);
    EXPECT_EQ(tuners->parentWidget(), child<QComboBox>("CaptureSource")->parentWidget());
    tuners->setFocus();
    QTest::keyClick(tuners, Qt::Key_Up);
    QTest::keyClick(tuners, Qt::Key_Up);
    EXPECT_EQ(rig.form.tuners(), 3);
    EXPECT_EQ(rig.live.Tuners, 1);
    tuners->selectAll();
    QTest::keyClicks(tuners, "9");
    EXPECT_EQ(tuners->value(), 3) << "9 is beyond the range";
    QTest::mouseClick(child<QPushButton>("Command_OK"), Qt::LeftButton);
    EXPECT_EQ(rig.stored("Tuners"), "3");
    EXPECT_EQ(rig.live.Tuners, 3);

    // Loaded from the store, the box shows it.
    OptionsRig stored;
    stored.setStored("Template", "DVD");
    stored.setStored("Tuners", "6");
    Load_Settings(stored.form, stored.templateKey, stored.folder());
    ui::OptionsDialog other{stored.form};
    EXPECT_EQ(other.findChild<QSpinBox*>("Tuners")->value(), 6);
}

TEST_F(OptionsWindow, SpinnerWritesItsTextAndSplitChoiceSetsUnits) {
    rig.form.OptionsMenu_Click();
    child<QScrollBar>("End_Buffer_Scroll")->setValue(42);
    EXPECT_EQ(child<QLineEdit>("Default_End_Buffer")->text(), "42");
    QTest::mouseClick(child<QWidget>("IsSplitSize"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>("SplitUnits")->text(), "Mb");
    EXPECT_TRUE(child<QLineEdit>("SplitNumber")->isEnabled());
    QTest::mouseClick(child<QWidget>("IsSplitNone"), Qt::LeftButton);
    EXPECT_FALSE(child<QLineEdit>("SplitNumber")->isEnabled());
}

TEST_F(OptionsWindow, TestShowsTheExampleOnlyWhileHeld) {
    rig.form.OptionsMenu_Click();
    auto* test = child<QPushButton>("TestFilename");
    auto* example = child<QLabel>("floatfilename");
    QTest::mousePress(test, Qt::LeftButton);
    EXPECT_TRUE(example->isVisible());
    EXPECT_EQ(example->text().toStdString(), rig.host.example);
    QTest::mouseRelease(test, Qt::LeftButton);
    EXPECT_FALSE(example->isVisible());
    EXPECT_TRUE(example->text().isEmpty());
}

TEST_F(OptionsWindow, BrowseTakesThePickedFileAndACancelledPickChangesNothing) {
    QString answer = "/data/picked.txt";
    dialog.chooseScheduleFile = [&](QWidget*) { return answer; };
    QTest::mouseClick(child<QPushButton>("ScheduleFile_Browse"), Qt::LeftButton);
    EXPECT_EQ(rig.live.ScheduleFile, "/data/picked.txt");
    EXPECT_EQ(child<QLineEdit>("ScheduleFile")->text(), "/data/picked.txt");
    answer.clear();
    QTest::mouseClick(child<QPushButton>("ScheduleFile_Browse"), Qt::LeftButton);
    EXPECT_EQ(rig.live.ScheduleFile, "/data/picked.txt");
}

TEST_F(OptionsWindow, CloseBoxHidesAndKeepsTheFields) {
    rig.form.OptionsMenu_Click();
    auto* pattern = child<QLineEdit>("Filestring");
    pattern->selectAll();
    QTest::keyClicks(pattern, "/x/%programme%.mpg");
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(rig.live.FileString, "/x/%programme%.mpg") << "the close box is no Cancel";
    rig.form.OptionsMenu_Click();
    EXPECT_EQ(pattern->text(), "/x/%programme%.mpg");
}

TEST_F(OptionsWindow, GuideTicksReachTheLiveList) {
    auto* list = child<QListWidget>("Digiguide_Templates");
    list->item(3)->setCheckState(Qt::Checked);
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(rig.live.guideTemplates[3].ticked);
    EXPECT_FALSE(rig.live.guideTemplates[0].ticked);
}

}  // namespace
