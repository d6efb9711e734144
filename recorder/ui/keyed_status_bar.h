#pragma once

#include "recorder/ports/ui_ports.h"

#include <QStatusBar>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QLabel;

namespace kelbo::ui {

class ProgressBarEx;
class PictureBox;

// The main window's status bar: panels found by key, each a label that
// shows a text or a picture.
class KeyedStatusBar : public QStatusBar, public StatusBarPort {
    Q_OBJECT
public:
    explicit KeyedStatusBar(QWidget* parent = nullptr);
    ~KeyedStatusBar() override;

    // How a panel meets a short bar: Elide cuts its text with "…" (its
    // width is what it asks for, 0 for the rest of the bar); Whole keeps
    // its text whole; Fixed keeps `width` (a picture).
    enum class Fit { Elide, Whole, Fixed };
    void addPanel(const std::string& key, int width = 0, Fit fit = Fit::Elide);
    QLabel* panel(const std::string& key) const;
    int panelWidth(const std::string& key) const;
    void setPanelPicture(const std::string& key, const QImage& picture);
    void clearPanelPicture(const std::string& key);

    void setPanelText(const std::string& key, const std::string& text) override;
    void showPanelText(const std::string& key, const std::string& text, const std::string& shown) override;
    std::string panelText(const std::string& key) const override;
    std::string shownPanelText(const std::string& key) const override;
    void setPanelTip(const std::string& key, const std::string& tip) override;
    void setPanelVisible(const std::string& key, bool visible) override;
    bool panelVisible(const std::string& key) const override;
    ProgressBarView& progressBar() override;

    // The panel's tooltip is asked for when it is about to show, so that
    // it tells what is true then.
    void setPanelToolTip(const std::string& key, std::function<QString()> tip);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<QObject*, std::function<QString()>> tips_;
    std::map<std::string, QLabel*> panels_;
    // The texts as the recorder gave them, which it reads back (kelbo
    // --status); the panels show them in the user's language.
    std::map<std::string, std::string> texts_;
    std::map<std::string, bool> shown_;
    PictureBox* picture_ = nullptr;
    std::unique_ptr<ProgressBarEx> bar_;
};

}  // namespace kelbo::ui
