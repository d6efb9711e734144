#include "main_window.h"

#include "detail_pane_widget.h"
#include "about_box.h"
#include "finished_rows_filter.h"
#include "help_menu.h"
#include "add_schedule_dialog.h"
#include "keyed_status_bar.h"
#include "main_actions.h"
#include "options_dialog.h"
#include "preview_form.h"
#include "recorded_row_menu.h"
#include "schedule_list_view.h"
#include "sleep_inhibitor.h"
#include "system_tray.h"
#include "transport_bar.h"
#include "freedesktop_notification.h"
#include "tray_menu.h"
#include "common/clock.h"
#include "common/settings_keys.h"
#include "recorder/forms/column_layout_store.h"
#include "recorder/forms/detail_pane.h"
#include "recorder/forms/preview_caption.h"
#include "recorder/forms/recordings.h"
#include "recorder/forms/schedule_commands.h"
#include "recorder/device/capture_device.h"
#include "recorder/device/templates.h"
#include "recorder/engine/disk_space.h"
#include "recorder/ports/message_boxes.h"
#include "recorder/ports/translation.h"
#include "recorder/schedule/part_files.h"
#include "recorder/engine/recorder.h"
#include "recorder/engine/recording_notices.h"
#include "recorder/schedule/next_programme.h"
#include "recorder/schedule/schedule_document.h"
#include "recorder/forms/schedule_listing.h"
#include "recorder/forms/status_panels.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QMenuBar>
#include <QToolButton>

#include <cmath>

namespace kelbo::ui {

namespace {
constexpr int kTickMs = 400;
constexpr int kWatcherMs = 30000;

}  // namespace

MainWindow::MainWindow(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName("Form1");
    setWindowTitle("Kelbo");
    tray_ = new SystemTray(this);
    sleep_ = new SleepInhibitor(this);
    connect(tray_, &SystemTray::restoreRequested, this, &MainWindow::Restore_From_Tray);
    tray_->menu().setWindowShownQuery([this] { return isVisible() && !isMinimized(); });
    connect(&tray_->menu(), &TrayMenu::showHideRequested, this, &MainWindow::ShowHide_Click);
    connect(&tray_->menu(), &TrayMenu::stopRequested, this,
            [this] { TransportControl_Click(ScheduleCommands::kStopButton); });
    connect(&tray_->menu(), &TrayMenu::quitRequested, this, &MainWindow::Quit_Click);
    // A finished recording's notification: Play and Show in Folder.
    connect(&tray_->notifications(), &FreedesktopNotifications::playRequested, this, [this](const QStringList& files) {
        std::vector<std::string> paths;
        for (const QString& f : files) paths.push_back(f.toStdString());
        openFiles(paths, tr("Play").toStdString());
    });
    connect(&tray_->notifications(), &FreedesktopNotifications::showInFolderRequested, this,
            [this](const QStringList& files) {
                if (!files.isEmpty())
                    openFiles({part_files::folderOf(files.front().toStdString())}, tr("Show in Folder").toStdString());
            });
    buildMenus();
    buildStatusBar();

    // Both run from the end of the start-up.
    timer1_.setInterval(kTickMs);
    timer2_.setInterval(kWatcherMs);
    connect(&timer2_, &QTimer::timeout, this, &MainWindow::Timer2_Timer);
    connect(&timer1_, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    clockPanels_.setInterval(1000);
    connect(&clockPanels_, &QTimer::timeout, this, &MainWindow::updateClockPanels);
}

MainWindow::~MainWindow() = default;

void MainWindow::releaseFrames() {
    started_ = false;
    delete centralWidget();
    delete optionsDialog_;
    optionsDialog_ = nullptr;
    frame1_ = nullptr;
    list_ = nullptr;
    frame2_ = nullptr;
    buttons_ = nullptr;
    commands_ = nullptr;
    pane_ = nullptr;
    options_ = nullptr;
    recorder_ = nullptr;
    device_ = nullptr;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    reloadAction_ = file->addAction(tr("Reload Schedule"), this, &MainWindow::ReloadSchedule_Click);
    reloadAction_->setObjectName("ReloadSchedule");
    optionsAction_ = file->addAction(tr("Options"), this, &MainWindow::OptionsMenu_Click);
    optionsAction_->setObjectName("OptionsMenu");

    QMenu* view = menuBar()->addMenu(tr("&View"));
    viewMenu_ = view;
    lockAction_ = view->addAction(tr("Preview Locked to Main Form"));
    lockAction_->setObjectName("LockToForm");
    lockAction_->setCheckable(true);
    lockAction_->setChecked(true);
    // The handler sets the check itself.
    connect(lockAction_, &QAction::triggered, this, [this] {
        lockAction_->setChecked(!lockAction_->isChecked());
        LockToForm_Click();
    });
    livePreviewAction_ = view->addAction(tr("Live Preview"));
    livePreviewAction_->setObjectName("IsLivePreview");
    livePreviewAction_->setCheckable(true);
    connect(livePreviewAction_, &QAction::triggered, this, [this] { IsLivePreview_Click(); });
    // In the View menu only while there is more than one tuner; filled as
    // it opens, since tuners come and go with the setting.
    previewTunerMenu_ = new QMenu(tr("Preview &Tuner"), this);
    previewTunerMenu_->setObjectName("PreviewTuner");
    connect(previewTunerMenu_, &QMenu::aboutToShow, this, [this] { fillPreviewTunerMenu(); });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    helpMenu_ = new HelpMenu(*help, services_.messages,
                             [this](const std::vector<std::string>& paths, const std::string& command) {
                                 openFiles(paths, command);
                             },
                             [this] { about_Click(); });
    aboutAction_ = helpMenu_->about();

    actions_ = new MainActions(*this, {[this] { TransportControl_Click(ScheduleCommands::kAddButton); },
                                       [this] { TransportControl_Click(ScheduleCommands::kDeleteButton); },
                                       [this] { TransportControl_Click(ScheduleCommands::kStopButton); },
                                       [this] { Quit_Click(); }, [this] { OpenRecordingsFolder_Click(); }});
    actions_->fillMenus(*file, *view, *reloadAction_, *optionsAction_);
    actions_->stop()->setEnabled(false);
}

void MainWindow::buildStatusBar() {
    statusBar_ = new KeyedStatusBar(this);
    statusBar_->setObjectName("sbStatusBar");
    setStatusBar(statusBar_);
    // The programme text is the long one ("... starts in 000:01:02:03").
    statusBar_->addPanel(panel::kStatus, 100);
    statusBar_->addPanel(panel::kCounter, 140);
    statusBar_->addPanel(panel::kSplit, 120);
    statusBar_->addPanel(panel::kProgramme);
    statusBar_->addPanel(panel::kProgress, 120, KeyedStatusBar::Fit::Fixed);
    statusBar_->addPanel("pnlDate", 70, KeyedStatusBar::Fit::Whole);
    statusBar_->addPanel("pnlTime", 40, KeyedStatusBar::Fit::Whole);
    updateClockPanels();
}

void MainWindow::updateClockPanels() {
    const DateTime now = services_.clock.localNow();
    statusBar_->setPanelText("pnlDate", now.formatDate());
    statusBar_->setPanelText("pnlTime", now.formatTime());
}

StatusBarPort& MainWindow::statusBarPort() { return *statusBar_; }

TrayPort& MainWindow::trayPort() { return *tray_; }

void MainWindow::buildFrames(const RecorderParts& parts) {
    recorder_ = &parts.recorder;
    listing_ = &parts.listing;
    device_ = &parts.device;
    options_ = &parts.options;
    pane_ = &parts.pane;
    commands_ = &parts.commands;
    optionsDialog_ = new OptionsDialog(*options_, this);
    commands_->setAddAction([this] { showAddSchedule(); });

    auto* central = new QWidget(this);
    setCentralWidget(central);
    frame1_ = new QFrame(central);
    frame1_->setObjectName("Frame1");
    list_ = new ScheduleListView(parts.listing.list(), frame1_);
    list_->attachPane(*pane_);
    frame2_ = new DetailPaneWidget(*pane_, frame1_);
    buttons_ = new TransportBar(frame1_);
    connect(buttons_, &TransportBar::clicked, this, &MainWindow::TransportControl_Click);
    actions_->bindDeleteTo(*list_);
    new FinishedRowsFilter(*viewMenu_, *list_, parts.listing, services_.clock, options_->store());
    statusBar_->setPanelToolTip(panel::kStatus, [this] { return freeSpaceTip(); });
    rowMenu_ = new RecordedRowMenu(*list_, parts.listing.list(),
                                   [this] { TransportControl_Click(ScheduleCommands::kDeleteButton); },
                                   [this](const std::vector<std::string>& paths, const std::string& command) {
                                       openFiles(paths, command);
                                   });
}

QString MainWindow::freeSpaceTip() const {
    const LiveSettings& settings = recorder_->settings();
    const std::string folder = recordingsFolder(settings.FileString);
    const EncodingTemplate encoding =
        readEncodingTemplate(findTemplateFile(templateKeyFor(device_->DeviceRegistryKey()), settings.Template));
    return QString::fromStdString(freeSpaceText(freeBytesIn(folder), encoding, settings.Template));
}

void MainWindow::IsLivePreview_Click() {
    recorder_->IsLivePreview_Click();
    livePreviewAction_->setChecked(recorder_->livePreviewTicked());
}

void MainWindow::ReloadSchedule_Click() { recorder_->ReloadSchedule_Click(); }

void MainWindow::OptionsMenu_Click() { options_->OptionsMenu_Click(); }

void MainWindow::about_Click() { AboutBox::showAbout(this); }

void MainWindow::TransportControl_Click(int index) { commands_->TransportControl_Click(index); }

void MainWindow::showAddSchedule() {
    Recorder& r = *recorder_;
    AddScheduleDialog::open(AddScheduleContext{r.document(), r.next(), *device_, services_.clock,
                                               r.settings(), services_.messages},
                            this);
}

void MainWindow::Timer1_Timer() {
    recorder_->Timer1_Timer();
    livePreviewAction_->setChecked(recorder_->livePreviewTicked());
    showRunState();
}

void MainWindow::fillPreviewTunerMenu() {
    previewTunerMenu_->clear();
    for (int number = 1; number <= recorder_->tunerCount(); ++number) {
        QAction* tuner = previewTunerMenu_->addAction(tr("Tuner %1").arg(number));
        tuner->setObjectName(QString("PreviewTuner%1").arg(number));
        tuner->setCheckable(true);
        tuner->setChecked(number == recorder_->previewTuner());
        connect(tuner, &QAction::triggered, this, [this, number] {
            recorder_->choosePreviewTuner(number);
            showRunState();
        });
    }
}

void MainWindow::offerPreviewTuners() {
    const bool offered = viewMenu_->actions().contains(previewTunerMenu_->menuAction());
    if (recorder_->tunerCount() > 1 && !offered) {
        const QList<QAction*> actions = viewMenu_->actions();
        const qsizetype after = actions.indexOf(livePreviewAction_) + 1;
        viewMenu_->insertMenu(after < actions.size() ? actions[after] : nullptr, previewTunerMenu_);
    } else if (recorder_->tunerCount() <= 1 && offered) {
        viewMenu_->removeAction(previewTunerMenu_->menuAction());
    }
}

void MainWindow::showRunState() {
    offerPreviewTuners();
    preview_->setCaption(previewCaption(recorder_->tunerDevice(recorder_->previewTuner()), recorder_->livePreviewTicked()));
    const bool recording = recorder_->recording();
    const RecorderState state = recorder_->state();
    // Every programme being recorded, whichever tuner records it.
    std::string programmes;
    for (const RecorderState::Recording& r : state.recordings)
        programmes += (programmes.empty() ? "" : ", ") + shownProgrammeText(r.name, r.channel);
    sleep_->setHeld(recording, fillIn(translate("kelbo::ui::MainWindow", "Kelbo is recording %1"), {programmes}));
    tray_->keepShown(recorder_->settings().MinimizeToSystem && SystemTray::available());
    if (!isMinimised()) {
        const std::string all = recordingsTip(state);
        tray_->showState(recording, recorder_->next().any(),
                         all.empty() ? statusBar_->shownPanelText(panel::kProgramme) : all);
    }
}

void MainWindow::Quit_Click() {
    if (device_ && !confirmQuit(*device_, services_.messages)) return;
    closeWithoutAsking();
}

void MainWindow::closeWithoutAsking() {
    quitAgreed_ = true;
    if (!close()) quitAgreed_ = false;
}

void MainWindow::OpenRecordingsFolder_Click() {
    const QString folder = QString::fromStdString(recordingsFolder(recorder_->settings().FileString));
    // A first run has recorded nothing yet; the folder is where it will.
    QDir().mkpath(folder);
    openFiles({folder.toStdString()}, tr("Open Recordings Folder").toStdString());
}

void MainWindow::openFiles(const std::vector<std::string>& paths, const std::string& command) {
    const std::string why = fileOpener_(paths);
    if (!why.empty()) services_.messages.show(command, why, MessageBoxes::Icon::Exclamation, MessageBoxes::Buttons::Ok);
}

void MainWindow::Timer2_Timer() { recorder_->Timer2_Timer(); }

void MainWindow::setReloadScheduleEnabled(bool enabled) { reloadAction_->setEnabled(enabled); }

void MainWindow::setLivePreviewEnabled(bool enabled) { livePreviewAction_->setEnabled(enabled); }

void MainWindow::setStopButtonEnabled(bool enabled) {
    buttons_->button(ScheduleCommands::kStopButton)->setEnabled(enabled);
    actions_->stop()->setEnabled(enabled);
    tray_->menu().setRecording(enabled);
}

bool MainWindow::isLivePreviewTicked() const { return recorder_ && recorder_->livePreviewTicked(); }

std::vector<ColumnState> MainWindow::columnStates() const { return list_->columnStates(); }

void MainWindow::stopTimers() {
    timer1_.stop();
    timer2_.stop();
}

void MainWindow::closeChildWindows() {
    sleep_->setHeld(false, {});
    preview_->allowClose();
    preview_->close();
    optionsDialog_->hide();
    tray_->keepShown(false);
    tray_->remove();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close box or Alt+F4 during a recording: to the tray where the
    // user keeps the recorder there, else File > Quit's question.
    if (!quitAgreed_ && started_ && device_ && device_->ReadyState() == CaptureDevice::Recording) {
        if (recorder_->settings().MinimizeToSystem && tray_->shown() && SystemTray::available()) {
            event->ignore();
            moveToTray();
            return;
        }
        if (!confirmQuit(*device_, services_.messages)) {
            event->ignore();
            return;
        }
    }
    // The program's shutdown, once.
    if (closeHandler_) closeHandler_();
    event->accept();
    emit closed();
}

}  // namespace kelbo::ui
