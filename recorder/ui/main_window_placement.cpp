// The main window's place on the screen: its rectangle and layout, the
// preview docked beside its detail frame, minimising and the tray.
#include "main_window.h"

#include "detail_pane_widget.h"
#include "dialogs_above_preview.h"
#include "preview_form.h"
#include "schedule_list_view.h"
#include "screen_fit.h"
#include "system_tray.h"
#include "transport_bar.h"
#include "recorder/engine/recorder.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace kelbo::ui {

namespace {

QRect pixels(const TwipsRect& r) { return QRect(px(r.left), px(r.top), px(r.width), px(r.height)); }

}  // namespace

void MainWindow::createPreview() {
    preview_ = std::make_unique<PreviewForm>(this);
    preview_->setLockedQuery([this] { return previewLocked(); });
    new DialogsAbovePreview(*preview_, this);
    connect(preview_.get(), &PreviewForm::closeBoxPressed, this, [this] {
        if (previewLocked()) return;
        lockAction_->setChecked(true);
        placePreviewBesideFrame();
    });
}

void MainWindow::showAt(const WindowRect& rect) {
    setMinimumSize(640, 340);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        const SizeLimits limits = mainWindowLimits(twips(s.width()), twips(s.height()));
        setMaximumSize(limits.maxWidth, limits.maxHeight);
    }
    layoutInProgress_ = true;
    restoreWindowRect(rect);
    // A rectangle saved on a larger screen (or none, at 0,0) opens with its
    // frame on this one; once the window manager has framed it, the frame
    // itself is pulled on.
    fitBeforeShow(*this);
    layoutInProgress_ = false;
    layOut();
    show();
    QTimer::singleShot(kWindowFramedMs, this, [this] {
        if (isVisible() && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) pullOntoScreen(*this);
    });
    placePreviewBesideFrame();
    started_ = true;
    clockPanels_.start();
    showRunState();
}

TwipsRect MainWindow::windowRect() const {
    const QRect g = geometry();
    return {twips(pos().x()), twips(pos().y()), twips(g.width()), twips(g.height())};
}

void MainWindow::restoreWindowRect(const WindowRect& r) {
    move(px(r.left), px(r.top));
    resize(px(r.width), px(r.height));
}

void MainWindow::layOut() {
    const TwipsRect w = windowRect();
    const QSize frame2 = frame2_->sizeHint().expandedTo(frame2_->minimumSizeHint());
    applyLayout(layoutForWindow(w.width, w.height,
                                std::max(kDetailFrameWidth, twips(frame2.width())),
                                std::max(kDetailFrameHeight, twips(frame2.height()))));
}

void MainWindow::applyLayout(const WindowLayout& layout) {
    layout_ = layout;
    frame1_->setGeometry(pixels(layout.frame1));
    list_->setGeometry(pixels(layout.list));
    frame2_->setGeometry(pixels(layout.frame2));
    // The bar holds buttons 0 to 9 at their places from the list's edge.
    const TwipsRect first = layout.buttons[1];
    buttons_->setGeometry(pixels({layout.list.left, first.top,
                                  kTransportButtonCount * (first.left - layout.list.left),
                                  first.height}));
}

bool MainWindow::previewLocked() const { return lockAction_->isChecked(); }

void MainWindow::placePreviewBesideFrame() {
    preview_->placeAt(previewBesideFrame(windowRect(), layout_.frame2));
    if (!preview_->isVisible() && isVisible()) preview_->show();
    preview_->Set_Topmost();
}

void MainWindow::followMainWindow() {
    if (preview_ && preview_->isVisible() && previewLocked()) {
        preview_->placeAt(previewBesideFrame(windowRect(), layout_.frame2));
        preview_->Set_Topmost();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (layoutInProgress_ || !started_) return;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
    layOut();
    followMainWindow();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (started_) followMainWindow();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && started_ && isMinimized()) moveToTray();
}

bool MainWindow::moveToTray() {
    if (!recorder_->settings().MinimizeToSystem) return false;
    // Without a tray to bring it back from, the window stays minimised.
    if (!SystemTray::available()) return false;
    tray_->add();
    hide();
    if (previewLocked()) preview_->hide();
    return true;
}

void MainWindow::showMinimised() {
    // Straight to the tray where the user keeps it there: an iconify request
    // that the window manager answers late would hide again a window a
    // second start has brought back meanwhile.
    if (started_ && moveToTray()) return;
    showMinimized();
}

void MainWindow::Restore_From_Tray() {
    showNormal();
    repaint();
    show();
    raise();
    activateWindow();
    preview_->show();
    preview_->Set_Topmost();
    tray_->remove();
}

void MainWindow::LockToForm_Click() {
    if (lockAction_->isChecked()) {
        lockAction_->setChecked(false);
        return;
    }
    lockAction_->setChecked(true);
    preview_->placeAt(previewDockedOnLock(windowRect(), layout_.frame2));
    preview_->Set_Topmost();
}

void MainWindow::ShowHide_Click() {
    if (!isVisible() || isMinimized()) return Restore_From_Tray();
    if (recorder_->settings().MinimizeToSystem && SystemTray::available()) moveToTray();
    else showMinimized();
}

bool MainWindow::isMinimised() const { return isMinimized() || (started_ && isHidden()); }

WindowRect MainWindow::normalRect() const {
    const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) && isVisible();
    const QRect g = normal ? QRect(pos(), size()) : normalGeometry();
    return {twips(g.x()), twips(g.y()), twips(g.width()), twips(g.height())};
}

}  // namespace kelbo::ui
