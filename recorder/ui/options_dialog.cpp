#include "options_dialog.h"
#include "accessible_names.h"

#include "common/settings_keys.h"
#include "recorder/forms/options_form.h"
#include "recorder/forms/picture_controls.h"
#include "recorder/schedule/setting_values.h"
#include "recorder/ui/options_dialog_widgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace kelbo::ui {

namespace {

constexpr int kClientWidthTwips = 9015;
constexpr int kClientHeightTwips = 8280;

template <typename W>
W* named(W* widget, const char* objectName, const QString& toolTip = {}) {
    widget->setObjectName(objectName);
    if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
    return widget;
}

QScrollBar* spinner(const char* objectName) {
    auto* bar = named(new QScrollBar(Qt::Horizontal), objectName);
    bar->setRange(kSpinnerMin, kSpinnerMax);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setMinimumWidth(90);
    return bar;
}

QLineEdit* numberField(const char* objectName) {
    auto* field = named(new QLineEdit, objectName);
    field->setFixedWidth(64);
    return field;
}

QCheckBox* checkBox(const char* objectName, const QString& text, const QString& toolTip) {
    return named(new QCheckBox(text), objectName, toolTip);
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsForm& form, QWidget* parent)
    : QDialog(parent), form_(form), w_(std::make_unique<Widgets>()) {
    setObjectName("Options");
    setWindowTitle(tr("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    chooseScheduleFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, tr("Open Schedule File"), QDir::currentPath(),
                                            tr("Text Files (*.txt)"));
    };

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildRecordingPage());
    left->addWidget(buildSplitFrame());
    left->addWidget(buildCaptureSourceRow());
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(buildGuideList(), 1);
    right->addWidget(buildCapturePage());
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const auto button = [&](const char* objectName, const QString& text, void (OptionsForm::*click)()) {
        auto* b = named(new QPushButton(text), objectName);
        b->setAutoDefault(false);
        b->setMinimumWidth(80);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, click] { (form_.*click)(); });
    };
    button("Command_OK", tr("OK"), &OptionsForm::Command_OK_Click);
    button("Command_Apply", tr("Apply"), &OptionsForm::Command_Apply_Click);
    button("Command_Cancel", tr("Cancel"), &OptionsForm::Command_Cancel_Click);

    // The fields scroll on a screen too small for them (a netbook, a large
    // scale factor); OK, Apply and Cancel stay in sight below them.
    auto* fields = new QWidget;
    fields->setObjectName("optionsFields");
    fields->setLayout(columns);
    auto* scroll = new QScrollArea;
    scroll->setObjectName("optionsScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(fields);
    auto* root = new QVBoxLayout(this);
    root->addWidget(scroll, 1);
    root->addLayout(buttons);

    connectFields();
    connectPicture();
    form_.setView(this);
    const QSize designed(kClientWidthTwips / settings::kTwipsPerPixel, kClientHeightTwips / settings::kTwipsPerPixel);
    const QMargins m = root->contentsMargins();
    const QSize whole(std::max(fields->sizeHint().width(), buttons->sizeHint().width()) + m.left() + m.right(),
                      fields->sizeHint().height() + root->spacing() + buttons->sizeHint().height() + m.top() +
                          m.bottom());
    setMaximumSize(designed.expandedTo(whole));
    resize(designed.expandedTo(whole));
}

OptionsDialog::~OptionsDialog() { form_.setView(nullptr); }

QWidget* OptionsDialog::buildRecordingPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto label = [&](int row, const QString& text, const QString& toolTip = {}) {
        auto* l = new QLabel(text);
        if (!toolTip.isEmpty()) l->setToolTip(toolTip);
        grid->addWidget(l, row, 0);
        return l;
    };
    Widgets& w = *w_;
    QLabel* templateLabel = label(0, tr("Default Record &Template"));
    w.templateList = named(new QComboBox, "template",
                           tr("The recording quality that Kelbo will use as its default"));
    nameAfterLabel(*templateLabel, *w.templateList);
    grid->addWidget(w.templateList, 0, 1, 1, 2);

    const QString startTip = tr("The default start buffer that Kelbo will use at the beginning of all programmes");
    const QString endTip = tr("The default end buffer that Kelbo will use at the end of all programmes");
    QLabel* startLabel = label(1, tr("Default &Start Buffer"));
    w.startBuffer = named(numberField("Default_Start_Buffer"), "Default_Start_Buffer", startTip);
    w.startScroll = named(spinner("Start_Buffer_Scroll"), "Start_Buffer_Scroll", startTip);
    nameAfterLabel(*startLabel, *w.startBuffer, w.startScroll);
    grid->addWidget(w.startBuffer, 1, 1);
    grid->addWidget(w.startScroll, 1, 2);
    QLabel* endLabel = label(2, tr("Default &End Buffer"));
    w.endBuffer = named(numberField("Default_End_Buffer"), "Default_End_Buffer", endTip);
    w.endScroll = named(spinner("End_Buffer_Scroll"), "End_Buffer_Scroll", endTip);
    nameAfterLabel(*endLabel, *w.endBuffer, w.endScroll);
    grid->addWidget(w.endBuffer, 2, 1);
    grid->addWidget(w.endScroll, 2, 2);

    QLabel* fileLabel = label(3, tr("Schedule &File"));
    auto* fileRow = new QHBoxLayout;
    w.scheduleFile = named(new QLineEdit, "ScheduleFile", tr("The file that contains the schedule information"));
    nameAfterLabel(*fileLabel, *w.scheduleFile);
    w.browse = named(new QPushButton(tr("Browse")), "ScheduleFile_Browse",
                     tr("Browse for the schedule file on your hard disk"));
    w.browse->setAutoDefault(false);
    fileRow->addWidget(w.scheduleFile, 1);
    fileRow->addWidget(w.browse);
    grid->addLayout(fileRow, 3, 1, 1, 2);

    QLabel* patternLabel = label(4, tr("File&Name Format"), tr("The format used for output filenames"));
    auto* patternRow = new QHBoxLayout;
    w.fileString = named(new QLineEdit, "Filestring",
                         tr("The format used for output filenames (Use variable names below)"));
    nameAfterLabel(*patternLabel, *w.fileString);
    w.test = named(new QPushButton(tr("Test")), "TestFilename",
                   tr("Test the filename format with a real example from the schedule"));
    w.test->setAutoDefault(false);
    patternRow->addWidget(w.fileString, 1);
    patternRow->addWidget(w.test);
    grid->addLayout(patternRow, 4, 1, 1, 2);

    auto* tokens = new QGridLayout;
    const char* tokenTexts[] = {"%programme%", "%startdate%", "%starttime%",
                                "%channelnumber%", "%channelname%", "%category%"};
    for (int i = 0; i < 6; ++i) {
        auto* token = new QLabel(tokenTexts[i]);
        tokens->addWidget(token, i / 3, i % 3);
    }
    grid->addLayout(tokens, 5, 1, 1, 2);
    w.floatFileName = named(new QLabel, "floatfilename");
    w.floatFileName->setFrameShape(QFrame::Box);
    // An example file name, made of the user's pattern.
    w.floatFileName->setTextFormat(Qt::PlainText);
    w.floatFileName->setStyleSheet("background: palette(tool-tip-base); color: palette(tool-tip-text);");
    w.floatFileName->setWordWrap(true);
    w.floatFileName->hide();
    grid->addWidget(w.floatFileName, 6, 0, 1, 3);

    auto* boxes = new QGridLayout;
    w.previewRecording = checkBox("IsPreviewRecording", tr("Preview When Recording"),
                                  tr("Show a live preview when a programme starts recording"));
    w.hearAudio = checkBox("IsHearAudioDuringRecord", tr("Hear Audio during Record"),
                           tr("Hear live audio when a programme starts recording"));
    w.autoLoad = checkBox("IsAutoLoadSchedule", tr("Auto load new schedule file"),
                          tr("Automatically load new schedule file every 30 seconds (Recommend turned ON)"));
    w.expertMode = checkBox("IsExpertMode", tr("Expert Mode - NO Confirmations"),
                            tr("No confirmations on deletes or changes to any settings or schedules"));
    w.startInTray = checkBox("IsStartInSystemTray", tr("Start in System Tray"), tr("Start Kelbo in the system tray"));
    w.minimizeToTray = checkBox("IsMinimizeToSystemTray", tr("Minimize to System Tray"),
                                tr("When Kelbo is minimized, place it in the system tray"));
    const QCheckBox* order[] = {w.previewRecording, w.hearAudio, w.autoLoad,
                                w.expertMode, w.startInTray, w.minimizeToTray};
    for (int i = 0; i < 6; ++i) boxes->addWidget(const_cast<QCheckBox*>(order[i]), i / 2, i % 2);
    grid->addLayout(boxes, 7, 0, 1, 3);

    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* OptionsDialog::buildCaptureSourceRow() {
    auto* row = new QWidget;
    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* sourceLabel = new QLabel(tr("Capture s&ource"));
    grid->addWidget(sourceLabel, 0, 0);
    w_->captureSource = named(new QComboBox, "CaptureSource",
                              tr("The video source Kelbo records from; type a stream's URL to record it"));
    nameAfterLabel(*sourceLabel, *w_->captureSource);
    // A network stream's URL can be typed in; the form decides what it takes.
    w_->captureSource->setEditable(true);
    w_->captureSource->setInsertPolicy(QComboBox::NoInsert);
    grid->addWidget(w_->captureSource, 0, 1);
    auto* tunersLabel = new QLabel(tr("T&uners"));
    grid->addWidget(tunersLabel, 0, 2);
    w_->tuners = named(new QSpinBox, "Tuners",
                       tr("How many programmes Kelbo can record at once; overlapping programmes clash only "
                          "beyond it"));
    w_->tuners->setRange(kFewestTuners, kMostTuners);
    nameAfterLabel(*tunersLabel, *w_->tuners);
    grid->addWidget(w_->tuners, 0, 3);
    auto* note = named(new QLabel(tr("A change takes effect the next time Kelbo starts.")),
                       "Label_CaptureSourceNote");
    note->setEnabled(false);
    grid->addWidget(note, 1, 1);
    auto* playlistLabel = new QLabel(tr("Channel &playlist"));
    grid->addWidget(playlistLabel, 2, 0);
    w_->channelPlaylist = named(new QLineEdit, "ChannelPlaylist",
                                tr("An M3U playlist of network streams: each recording tunes to its channel's entry"));
    nameAfterLabel(*playlistLabel, *w_->channelPlaylist);
    grid->addWidget(w_->channelPlaylist, 2, 1);
    grid->setColumnStretch(1, 1);
    return row;
}

QWidget* OptionsDialog::buildSplitFrame() {
    Widgets& w = *w_;
    auto* frame = named(new QGroupBox(tr("Split By")), "FrameSplit",
                        tr("Select how Kelbo will split programme recordings"));
    auto* row = new QHBoxLayout(frame);
    w.splitNone = named(new QRadioButton(tr("NONE")), "IsSplitNone", tr("No splitting of files required"));
    w.splitSize = named(new QRadioButton(tr("Size")), "IsSplitSize", tr("Split by file size"));
    w.splitTime = named(new QRadioButton(tr("Time")), "IsSplitTime", tr("Split by recording time"));
    w.splitNumber = numberField("SplitNumber");
    w.splitNumber->setToolTip(tr("The number of minutes / Mb to split at"));
    w.splitNumber->setAccessibleName(tr("Split at"));
    w.splitUnits = named(new QLabel, "SplitUnits");
    w.splitUnits->setMinimumWidth(30);
    for (QWidget* widget : std::initializer_list<QWidget*>{w.splitNone, w.splitSize, w.splitTime})
        row->addWidget(widget);
    row->addSpacing(12);
    row->addWidget(w.splitNumber);
    row->addWidget(w.splitUnits);
    row->addStretch();
    return frame;
}

QWidget* OptionsDialog::buildGuideList() {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const QString tip = tr("Only relevant if you use Digiguide electronic programme guide");
    auto* label = new QLabel(tr("Digiguide Addin Templates"));
    label->setToolTip(tip);
    w_->guideTemplates = named(new QListWidget, "Digiguide_Templates", tip);
    nameAfterLabel(*label, *w_->guideTemplates);
    column->addWidget(label);
    column->addWidget(w_->guideTemplates, 1);
    return box;
}

QWidget* OptionsDialog::buildCapturePage() {
    Widgets& w = *w_;
    auto* page = new QGroupBox(tr("Capture Device"));
    page->setObjectName("FrameCaptureDevice");
    auto* grid = new QGridLayout(page);
    for (const PictureControlNames& names : pictureControls()) {
        const int row = static_cast<int>(names.control);
        auto& picture = w.picture[static_cast<size_t>(row)];
        picture.label = named(new QLabel(QCoreApplication::translate("PictureControls", names.label)),
                              (std::string("Label_") + names.label).c_str());
        picture.text = numberField(names.textField);
        picture.scroll = spinner(names.spinner);
        nameAfterLabel(*picture.label, *picture.text, picture.scroll);
        grid->addWidget(picture.label, row, 0);
        grid->addWidget(picture.text, row, 1);
        grid->addWidget(picture.scroll, row, 2);
    }
    auto* frames = new QHBoxLayout;
    // A frame of two exclusive choices.
    const auto pair = [](const QString& title, const char* frameName, QRadioButton* first,
                         QRadioButton* second) {
        auto* frame = named(new QGroupBox(title), frameName);
        auto* column = new QVBoxLayout(frame);
        column->addWidget(first);
        column->addWidget(second);
        return frame;
    };
    w.composite = named(new QRadioButton(tr("Composite")), "IsComposite");
    w.sVideo = named(new QRadioButton(tr("SVideo")), "IsSVideo");
    w.videoSourceFrame = pair(tr("VideoSource"), "FrameVideoSource", w.composite, w.sVideo);
    w.pal = named(new QRadioButton("PAL"), "IsSSPAL");
    w.ntsc = named(new QRadioButton("NTSC"), "IsSSNTSC");
    w.standardFrame = pair(tr("VideoSuperStandard"), "FrameVideoSuperStandard", w.pal, w.ntsc);
    frames->addWidget(w.videoSourceFrame);
    frames->addWidget(w.standardFrame);
    grid->addLayout(frames, kPictureControlCount, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    return page;
}

}  // namespace kelbo::ui
