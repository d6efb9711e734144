#pragma once

#include "recorder/forms/add_schedule_form.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kelbo::ui {

// The window in which the user adds one programme by hand ("AddSchedule").
// Not modal; it deletes itself on closing, so each opening starts afresh.
// The entries and their reactions live in AddScheduleForm; this window shows
// them and passes on what the user does.
class AddScheduleDialog : public QDialog {
    Q_OBJECT

public:
    AddScheduleDialog(AddScheduleContext context, QWidget* parent = nullptr);

    // Shows a new dialog when none is open; otherwise brings the open one
    // to the front, unchanged. Returns the dialog shown.
    static AddScheduleDialog* open(AddScheduleContext context, QWidget* parent = nullptr);
    // The dialog now open, or null.
    static AddScheduleDialog* current();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Control = AddScheduleForm::Control;

    void buildControls();
    void placeControls();
    void connectControls();
    void showForm();
    void showChoices(QComboBox* box, const ChoiceList& list);
    void fieldEntered(QObject* field);
    void fieldLeft(QObject* field);
    void spinnerMoved(int position);
    void addClicked();
    QWidget* widgetFor(Control control) const;

    AddScheduleForm form_;
    QDateEdit* DTPicker1_ = nullptr;
    QLineEdit* hours_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QScrollBar* VScroll1_ = nullptr;
    QLineEdit* duration_ = nullptr;
    QComboBox* channels_ = nullptr;
    QComboBox* Chno_ = nullptr;
    QLineEdit* programme_ = nullptr;
    QComboBox* template_ = nullptr;
    QPushButton* Add_ = nullptr;
    QPushButton* Cancel_ = nullptr;
};

}  // namespace kelbo::ui
