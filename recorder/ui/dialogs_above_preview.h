#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace kelbo::ui {

class PreviewForm;

// The docked preview stays above every window, so a dialog or message box
// centred over the main window would open beneath it. While any of the
// program's dialogs is shown the preview gives up its place on top and the
// dialog is raised; when the last one closes the preview is on top again.
// While another application is the active one the preview stacks as an
// ordinary window too, above Kelbo's own (it is their tool window) only.
class DialogsAbovePreview : public QObject {
    Q_OBJECT
public:
    // Watches every window of the application from now on.
    explicit DialogsAbovePreview(PreviewForm& preview, QObject* parent = nullptr);

    // Whether a dialog is shown now.
    static bool dialogShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QPointer<PreviewForm> preview_;
    bool pending_ = false;
};

}  // namespace kelbo::ui
