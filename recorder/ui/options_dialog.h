#pragma once

#include "recorder/forms/options_view.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;

namespace kelbo {
class OptionsForm;
}

namespace kelbo::ui {

// The Options window: shows an OptionsForm and forwards every edit to it.
// Not modal; created hidden and kept for the whole run; the close box hides
// it. Controls carry their documented object names.
class OptionsDialog : public QDialog, public OptionsView {
    Q_OBJECT
public:
    explicit OptionsDialog(OptionsForm& form, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    void showDialog() override;
    void hideDialog() override;
    void refresh() override;
    void focusControl(const std::string& objectName) override;

    // Asks for the schedule file; an empty answer is a cancelled choice.
    // Tests replace it to avoid a modal file dialog.
    std::function<QString(QWidget* owner)> chooseScheduleFile;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Widgets;
    QWidget* buildRecordingPage();
    QWidget* buildSplitFrame();
    QWidget* buildCaptureSourceRow();
    QWidget* buildCapturePage();
    QWidget* buildGuideList();
    void connectFields();
    void connectPicture();
    void refreshLists();
    void refreshDeviceControls();

    OptionsForm& form_;
    std::unique_ptr<Widgets> w_;
    bool checkingSplit_ = false;
};

}  // namespace kelbo::ui
