#pragma once

#include "recorder/forms/window_geometry.h"

#include <QWidget>

#include <functional>
#include <string>

class QLabel;

namespace kelbo::ui {

class PreviewWidget;

// The preview window: the device's live picture in a small window that
// stays above other windows. While it is locked to the main window the user
// can neither move nor close it; its close box never closes it.
class PreviewForm : public QWidget {
    Q_OBJECT
public:
    explicit PreviewForm(QWidget* parent = nullptr);

    PreviewWidget* capture() const { return capture_; }
    // A text over the picture in place of it ("No picture"); empty shows
    // the picture.
    void setCaption(const std::string& text);
    QString caption() const;

    // Asked at the moment of each event: is the preview locked?
    void setLockedQuery(std::function<bool()> locked) { locked_ = std::move(locked); }
    // Places the window (outer rectangle, twips) and sizes the picture in it.
    void placeAt(const TwipsRect& rect);
    TwipsRect placement() const;
    void Set_Topmost();
    // False while a dialog is open: the preview then stacks as an ordinary
    // window so the dialog can be seen over it.
    void setAboveOthers(bool above);
    // False while another application is the active one: the preview stays
    // beside Kelbo's windows, not over the guide or a browser.
    void setApplicationActive(bool active);
    bool aboveOthers() const { return !yielding_; }
    // From now on a close request closes: the program is ending.
    void allowClose() { closing_ = true; }

signals:
    // The close box was pressed; the window stays.
    void closeBoxPressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void followStacking();
    bool locked() const { return locked_ && locked_(); }
    void fitCapture();
    void snapBackIfLocked();
    static TwipsRect placement(const QRect& pixels);

    PreviewWidget* capture_;
    QLabel* caption_;
    std::function<bool()> locked_;
    QRect placed_;
    bool placing_ = false;
    bool closing_ = false;
    bool yielding_ = false;
    bool dialogOpen_ = false;
    bool applicationActive_ = true;
};

}  // namespace kelbo::ui
