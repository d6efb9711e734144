// Renders the Options dialog to a PNG, without a display:
//   QT_QPA_PLATFORM=offscreen build/kelbo-options-screenshot docs/options-dialog.png
#include "recorder/forms/settings_loader.h"
#include "recorder/ui/options_dialog.h"
#include "support/options_rig.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    using namespace kelbo;
    testing::OptionsRig rig({"DVD Full Quality", "DVD Half Resolution", "Long Play", "VCD Compatible"},
                            {"My Archive"});
    rig.setStored("Template", "DVD Half Resolution");
    rig.setStored("ScheduleFile", "/home/viewer/.local/share/kelbo/KelboSchedule.txt");
    rig.setStored("FileString", "/home/viewer/Videos/%startdate%/%programme%-%starttime%.mpg");
    rig.setStored("StartBuffer", "2");
    rig.setStored("EndBuffer", "5");
    rig.setStored("SplitType", "Size");
    rig.setStored("SplitValue", "650");
    rig.setStored("PreviewRecording", "1");
    rig.setStored("HearPreviewAudio", "1");
    rig.store.SaveSetting("DG Templates", "Long Play", "1");
    Load_Settings(rig.form, rig.templateKey, {"/home/viewer/Videos/Kelbo", "/home/viewer/.local/share/kelbo"});
    rig.form.setCaptureSources({{"USB Video Capture (/dev/video0)", "/dev/video0"}, {"Test pattern", "test"}});
    rig.device.state = CaptureDevice::Previewing;

    ui::OptionsDialog dialog(rig.form);
    rig.form.OptionsMenu_Click();
    app.processEvents();
    const bool saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    return saved ? 0 : 1;
}
