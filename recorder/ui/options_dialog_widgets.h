#pragma once

#include "recorder/forms/options_form.h"
#include "recorder/ui/options_dialog.h"

#include <array>

namespace kelbo::ui {

// The controls of the Options window that its code reads and writes.
struct OptionsDialog::Widgets {
    QComboBox* templateList;
    QLineEdit *startBuffer, *endBuffer, *scheduleFile, *fileString, *splitNumber, *channelPlaylist;
    QScrollBar *startScroll, *endScroll;
    QPushButton *browse, *test;
    QLabel *floatFileName, *splitUnits;
    QCheckBox *previewRecording, *hearAudio, *autoLoad, *expertMode, *startInTray, *minimizeToTray;
    QRadioButton *splitNone, *splitSize, *splitTime;
    QListWidget* guideTemplates;
    QComboBox* captureSource;
    QSpinBox* tuners;
    struct Picture {
        QLabel* label;
        QLineEdit* text;
        QScrollBar* scroll;
    };
    std::array<Picture, kPictureControlCount> picture;
    QGroupBox *videoSourceFrame, *standardFrame;
    QRadioButton *composite, *sVideo, *pal, *ntsc;
};

}  // namespace kelbo::ui
