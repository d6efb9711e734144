#pragma once

#include "recorder/forms/main_window_port.h"
#include "recorder/forms/options_form.h"
#include "recorder/forms/window_geometry.h"
#include "recorder/ui/recorded_row_menu.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QMenu;

namespace kelbo {
class CaptureDevice;
class Clock;
class DetailPane;
class MessageBoxes;
class Recorder;
class ScheduleCommands;
class ScheduleListing;
}  // namespace kelbo

namespace kelbo::ui {

class DetailPaneWidget;
class OptionsDialog;
class KeyedStatusBar;
class HelpMenu;
class MainActions;
class PreviewForm;
class RecordedRowMenu;
class ScheduleListView;
class SleepInhibitor;
class SystemTray;
class TransportBar;

// What the main window needs from outside for the whole run.
struct MainWindowServices {
    MessageBoxes& messages;
    const Clock& clock;
};

// The main window "Kelbo": a thin skin over the recorder. The program's
// start-up builds its frames over the recorder's parts and shows it; it
// shows the recorder's state and forwards the user's commands and the two
// timers to it.
class MainWindow : public QMainWindow, public MainWindowPort, public TimerPort {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    Recorder& recorder() { return *recorder_; }
    ScheduleListing& listing() { return *listing_; }
    CaptureDevice& device() { return *device_; }
    PreviewForm& preview() { return *preview_; }
    SystemTray& tray() { return *tray_; }
    SleepInhibitor& sleepInhibitor() { return *sleep_; }
    KeyedStatusBar& statusPanels() { return *statusBar_; }
    ScheduleListView& listView() { return *list_; }
    DetailPaneWidget& detailFrame() { return *frame2_; }
    TransportBar& transport() { return *buttons_; }
    DetailPane& pane() { return *pane_; }
    OptionsForm& options() { return *options_; }
    const WindowLayout& currentLayout() const { return layout_; }
    // The recording tick's timer (400 ms once started).
    const QTimer& tickTimer() const { return timer1_; }
    TwipsRect windowRect() const;
    bool previewLocked() const;

    // Menu commands and handlers.
    void ReloadSchedule_Click();
    void OptionsMenu_Click();
    void LockToForm_Click();
    void IsLivePreview_Click();
    // The View menu's choice of the tuner the preview shows.
    void fillPreviewTunerMenu();
    void offerPreviewTuners();
    void about_Click();
    void Restore_From_Tray();
    void TransportControl_Click(int index);
    void Timer1_Timer();
    void Timer2_Timer();
    // File > Quit; asks first while a recording runs.
    void Quit_Click();
    // Ends the run without asking (the session ends, SIGTERM).
    void closeWithoutAsking();
    // The tray menu's Show/Hide Kelbo.
    void ShowHide_Click();
    void OpenRecordingsFolder_Click();

    MainActions& actions() { return *actions_; }
    RecordedRowMenu& rowMenu() { return *rowMenu_; }
    // How files and folders are opened (the desktop's programs by default).
    void setFileOpener(FileOpener opener) { fileOpener_ = std::move(opener); }
    // Opens them for `command`; a box says why when nothing could.
    void openFiles(const std::vector<std::string>& paths, const std::string& command);

    // WindowPort
    bool isMinimised() const override;
    void setReloadScheduleEnabled(bool enabled) override;
    void setLivePreviewEnabled(bool enabled) override;
    void setStopButtonEnabled(bool enabled) override;
    bool isLivePreviewTicked() const override;

    // MainWindowPort
    StatusBarPort& statusBarPort() override;
    TrayPort& trayPort() override;
    TimerPort& timerPort() override { return *this; }
    void createPreview() override;
    void buildFrames(const RecorderParts& parts) override;
    void showAt(const WindowRect& rect) override;
    void showMinimised() override;
    void setCloseHandler(std::function<void()> handler) override { closeHandler_ = std::move(handler); }
    std::vector<ColumnState> columnStates() const override;
    WindowRect normalRect() const override;
    void closeChildWindows() override;
    void releaseFrames() override;

    // TimerPort
    void startTick() override { timer1_.start(); }
    void startWatcher() override { timer2_.start(); }
    void stopTimers() override;

signals:
    // The window has run its shutdown; the program may end.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void restoreWindowRect(const WindowRect& r);
    QString freeSpaceTip() const;
    void layOut();
    void applyLayout(const WindowLayout& layout);
    void placePreviewBesideFrame();
    void followMainWindow();
    bool moveToTray();
    void updateClockPanels();
    void showAddSchedule();
    // The preview's caption and the tray icon, as the run now stands.
    void showRunState();

    MainWindowServices services_;
    std::unique_ptr<PreviewForm> preview_;
    // The recorder's parts, kept by the program's start-up.
    CaptureDevice* device_ = nullptr;
    Recorder* recorder_ = nullptr;
    ScheduleListing* listing_ = nullptr;
    OptionsForm* options_ = nullptr;
    DetailPane* pane_ = nullptr;
    ScheduleCommands* commands_ = nullptr;
    std::function<void()> closeHandler_;
    KeyedStatusBar* statusBar_ = nullptr;
    SystemTray* tray_ = nullptr;
    SleepInhibitor* sleep_ = nullptr;
    QFrame* frame1_ = nullptr;
    ScheduleListView* list_ = nullptr;
    DetailPaneWidget* frame2_ = nullptr;
    TransportBar* buttons_ = nullptr;
    OptionsDialog* optionsDialog_ = nullptr;
    MainActions* actions_ = nullptr;
    HelpMenu* helpMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    RecordedRowMenu* rowMenu_ = nullptr;
    FileOpener fileOpener_ = desktopFileOpener();
    QAction* reloadAction_ = nullptr;
    QAction* optionsAction_ = nullptr;
    QAction* lockAction_ = nullptr;
    QAction* livePreviewAction_ = nullptr;
    QMenu* previewTunerMenu_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QTimer timer1_;
    QTimer timer2_;
    QTimer clockPanels_;
    WindowLayout layout_;
    bool layoutInProgress_ = false;
    bool started_ = false;
    // The user has already agreed to quit, or nobody can be asked.
    bool quitAgreed_ = false;
};

}  // namespace kelbo::ui
