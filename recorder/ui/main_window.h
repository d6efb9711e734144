#pragma once

#include "recorder/forms/options_form.h"
#include "recorder/ports/ui_ports.h"
#include "recorder/forms/window_geometry.h"
#include "recorder/ui/recorded_row_menu.h"

#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class QAction;
class QFrame;

namespace kelbo {
class CaptureDevice;
class Clock;
class DetailPane;
class MessageBoxes;
class Recorder;
class ScheduleCommands;
class SettingsStore;
}  // namespace kelbo

namespace kelbo::ui {

class DetailPaneWidget;
class OptionsDialog;
class KeyedStatusBar;
class MainActions;
class PreviewForm;
class RecordedRowMenu;
class ScheduleListView;
class SystemTray;
class TransportBar;

// What the main window needs from outside for the whole run.
struct MainWindowServices {
    SettingsStore& store;
    MessageBoxes& messages;
    const Clock& clock;
    std::string programFolder;
    // What the Options dialog offers as capture sources.
    std::vector<CaptureSourceChoice> captureSources;
};

// Creates the capture device inside the preview window; nothing when there
// is no device (the creator has told the user).
using DeviceLoader = std::function<std::unique_ptr<CaptureDevice>(PreviewForm&)>;

// The main window "Kelbo": a thin skin over the recorder. It owns the
// recorder for the whole run, shows its state and forwards the user's
// commands and the two timers to it.
class MainWindow : public QMainWindow, public WindowPort, public OptionsHost {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence; false when the program has to end.
    bool startUp(const DeviceLoader& loadDevice);

    Recorder& recorder() { return *recorder_; }
    CaptureDevice& device() { return *device_; }
    PreviewForm& preview() { return *preview_; }
    SystemTray& tray() { return *tray_; }
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
    void about_Click();
    void Restore_From_Tray();
    void TransportControl_Click(int index);
    void Timer1_Timer();
    void Timer2_Timer();
    // File > Quit; asks first while a recording runs.
    void Quit_Click();
    // The tray menu's Show/Hide Kelbo.
    void ShowHide_Click();
    void OpenRecordingsFolder_Click();

    MainActions& actions() { return *actions_; }
    RecordedRowMenu& rowMenu() { return *rowMenu_; }
    // How files and folders are opened (the desktop's programs by default).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { urlOpener_ = std::move(opener); }

    // WindowPort
    bool isMinimised() const override;
    void setReloadScheduleEnabled(bool enabled) override;
    void setLivePreviewEnabled(bool enabled) override;
    void setStopButtonEnabled(bool enabled) override;
    bool isLivePreviewTicked() const override;

    // OptionsHost
    void reloadSchedule() override;
    std::string exampleFileName() override;

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
    void buildFrames();
    void restoreWindowRect();
    void layOut();
    void applyLayout(const WindowLayout& layout);
    void placePreviewBesideFrame();
    void followMainWindow();
    void moveToTray();
    void updateClockPanels();
    void Save_Layout();
    void showAddSchedule();
    // The preview's caption and the tray icon, as the run now stands.
    void showRunState();

    MainWindowServices services_;
    std::unique_ptr<PreviewForm> preview_;
    std::unique_ptr<CaptureDevice> device_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<OptionsForm> options_;
    std::unique_ptr<DetailPane> pane_;
    std::unique_ptr<ScheduleCommands> commands_;
    KeyedStatusBar* statusBar_ = nullptr;
    SystemTray* tray_ = nullptr;
    QFrame* frame1_ = nullptr;
    ScheduleListView* list_ = nullptr;
    DetailPaneWidget* frame2_ = nullptr;
    TransportBar* buttons_ = nullptr;
    OptionsDialog* optionsDialog_ = nullptr;
    MainActions* actions_ = nullptr;
    RecordedRowMenu* rowMenu_ = nullptr;
    std::function<bool(const QUrl&)> urlOpener_ = desktopUrlOpener();
    QAction* reloadAction_ = nullptr;
    QAction* optionsAction_ = nullptr;
    QAction* lockAction_ = nullptr;
    QAction* livePreviewAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QTimer timer1_;
    QTimer timer2_;
    QTimer clockPanels_;
    WindowLayout layout_;
    bool layoutInProgress_ = false;
    bool started_ = false;
    bool shutDown_ = false;
};

}  // namespace kelbo::ui
