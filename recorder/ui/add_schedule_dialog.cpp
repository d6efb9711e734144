#include "add_schedule_dialog.h"
#include "accessible_names.h"

#include "common/settings_keys.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace kelbo::ui {

namespace {


QString qs(const std::string& text) { return QString::fromStdString(text); }

// Focus that moves to a popup or another window is not the user leaving
// the field: the field gets it back.
bool leavesTheDialog(const QEvent* event) {
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

QPointer<AddScheduleDialog>& openDialog() {
    static QPointer<AddScheduleDialog> dialog;
    return dialog;
}

}  // namespace

AddScheduleDialog::AddScheduleDialog(AddScheduleContext context, QWidget* parent)
    : QDialog(parent), form_(context) {
    setObjectName("AddSchedule");
    setWindowTitle(tr("AddSchedule"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    buildControls();
    placeControls();
    showForm();
    connectControls();
}

AddScheduleDialog* AddScheduleDialog::open(AddScheduleContext context, QWidget* parent) {
    QPointer<AddScheduleDialog>& dialog = openDialog();
    if (!dialog) dialog = new AddScheduleDialog(context, parent);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

AddScheduleDialog* AddScheduleDialog::current() { return openDialog(); }

void AddScheduleDialog::buildControls() {
    const auto label = [this](const char* name, const QString& text, const QString& tip = {}) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        if (!tip.isEmpty()) l->setToolTip(tip);
        return l;
    };
    const auto lineEdit = [this](const char* name, const QString& tip = {}) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        if (!tip.isEmpty()) e->setToolTip(tip);
        e->installEventFilter(this);
        return e;
    };
    const auto comboBox = [this](const char* name, const QString& tip) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setToolTip(tip);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
        c->installEventFilter(this);
        return c;
    };
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        return b;
    };
    const QString durationTip = tr("Number of minutes to record");
    const QString channelTip = tr("Channel Name (use -NA- if not relevant)");
    const QString numberTip = tr("Channel Number (use NA if not relevant)");
    const QString programmeTip = tr("Programme Name");
    const QString templateTip = tr("Recording template to use for this item");

    QLabel* dateLabel = label("Label1", tr("&Date"));
    QLabel* timeLabel = label("Label2", tr("&Time"));
    QLabel* durationLabel = label("Label3", tr("D&uration"), durationTip);
    QLabel* channelLabel = label("Label4", tr("&Channel"), channelTip);
    QLabel* numberLabel = label("Label7", QStringLiteral("#"), numberTip);
    QLabel* programmeLabel = label("Label5", tr("&Programme"), programmeTip);
    QLabel* templateLabel = label("Label6", tr("T&emplate"), templateTip);

    DTPicker1_ = new QDateEdit(this);
    DTPicker1_->setObjectName("DTPicker1");
    DTPicker1_->setCalendarPopup(true);
    DTPicker1_->setDisplayFormat("dd-MM-yyyy");
    hours_ = lineEdit("hours");
    minutes_ = lineEdit("minutes");
    VScroll1_ = new QScrollBar(Qt::Vertical, this);
    VScroll1_->setObjectName("VScroll1");
    VScroll1_->setRange(AddScheduleForm::kSpinnerMinimum, AddScheduleForm::kSpinnerMaximum);
    VScroll1_->setSingleStep(1);
    VScroll1_->setPageStep(1);
    // The spinner acts on the field that has the focus, so it never takes it.
    VScroll1_->setFocusPolicy(Qt::NoFocus);
    duration_ = lineEdit("duration", durationTip);
    channels_ = comboBox("channels", channelTip);
    Chno_ = comboBox("Chno", numberTip);
    programme_ = lineEdit("programme", programmeTip);
    template_ = comboBox("template", templateTip);
    nameAfterLabel(*dateLabel, *DTPicker1_);
    nameAfterLabel(*timeLabel, *hours_);
    hours_->setAccessibleName(tr("Time, hours"));
    minutes_->setAccessibleName(tr("Time, minutes"));
    VScroll1_->setAccessibleName(tr("Step the time or duration"));
    nameAfterLabel(*durationLabel, *duration_);
    nameAfterLabel(*channelLabel, *channels_);
    nameAfterLabel(*numberLabel, *Chno_);
    Chno_->setAccessibleName(tr("Channel number"));
    nameAfterLabel(*programmeLabel, *programme_);
    nameAfterLabel(*templateLabel, *template_);
    Add_ = button("Add", tr("Add"), tr("Confirm the schedule addition"));
    Cancel_ = button("Cancel", tr("Cancel"), tr("Cancel the addition of a new schedule item"));
    // Enter anywhere but on Cancel adds, with the field it was pressed in
    // taken as left first (addClicked).
    Add_->setDefault(true);

    QWidget* order[] = {DTPicker1_, hours_, minutes_, duration_, channels_,
                        Chno_,      programme_, template_, Add_, Cancel_};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

// The classic layout (4620 x 3600 twips at 15 twips a pixel), with the label
// column widened for today's fonts and the rows spaced evenly.
void AddScheduleDialog::placeControls() {
    setFixedSize(4620 / settings::kTwipsPerPixel, 3600 / settings::kTwipsPerPixel);
    static constexpr int kLabelLeft = 10, kFieldsLeft = 84, kRight = 298;
    static constexpr int kFirstRow = 12, kRowPitch = 30, kRowHeight = 24;
    const auto place = [this](const char* name, int row, int left, int width) {
        QWidget* w = findChild<QWidget*>(name);
        const int top = kFirstRow + row * kRowPitch;
        const int height = std::max(kRowHeight, w->sizeHint().height());
        w->setGeometry(left, top + (kRowHeight - height) / 2, width, height);
    };
    const char* labels[] = {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"};
    for (int row = 0; row < 6; ++row) place(labels[row], row, kLabelLeft, kFieldsLeft - kLabelLeft);
    place("DTPicker1", 0, kFieldsLeft, 124);
    place("hours", 1, kFieldsLeft, 30);
    place("minutes", 1, kFieldsLeft + 33, 30);
    place("duration", 2, kFieldsLeft, 49);
    place("channels", 3, kFieldsLeft, 142);
    place("Label7", 3, kFieldsLeft + 147, 10);
    place("Chno", 3, kRight - 56, 56);
    place("programme", 4, kFieldsLeft, kRight - kFieldsLeft);
    place("template", 5, kFieldsLeft, kRight - kFieldsLeft);
    // The spinner is as high as the time fields beside it.
    VScroll1_->setGeometry(minutes_->geometry().right() + 3, minutes_->y(), 16, minutes_->height());
    Add_->setGeometry(kRight - 2 * 76 - 6, 202, 76, 28);
    Cancel_->setGeometry(kRight - 76, 202, 76, 28);
}

void AddScheduleDialog::showForm() {
    const AddScheduleForm& f = form_;
    const QSignalBlocker blockDate(DTPicker1_), blockSpinner(VScroll1_);
    DTPicker1_->setDate(QDate(f.date.year, f.date.month, f.date.day));
    hours_->setText(qs(f.hours));
    minutes_->setText(qs(f.minutes));
    VScroll1_->setValue(f.spinnerPosition());
    duration_->setText(qs(f.duration));
    programme_->setText(qs(f.programme));
    showChoices(channels_, f.channels);
    showChoices(Chno_, f.Chno);
    showChoices(template_, f.templateList);
}

void AddScheduleDialog::showChoices(QComboBox* box, const ChoiceList& list) {
    const QSignalBlocker block(box);
    if (box->count() != static_cast<int>(list.items.size())) {
        box->clear();
        for (const std::string& item : list.items) box->addItem(qs(item));
    }
    box->setCurrentIndex(list.selected);
    box->setEditText(qs(list.text));
}

void AddScheduleDialog::connectControls() {
    connect(DTPicker1_, &QDateEdit::dateChanged, this, [this](QDate date) {
        form_.date = {date.day(), date.month(), date.year()};
    });
    const std::pair<QLineEdit*, std::string*> fields[] = {{hours_, &form_.hours},
                                                           {minutes_, &form_.minutes},
                                                           {duration_, &form_.duration},
                                                           {programme_, &form_.programme}};
    for (const auto& [edit, text] : fields)
        connect(edit, &QLineEdit::textEdited, this,
                [text = text](const QString& typed) { *text = typed.toStdString(); });
    const std::pair<QComboBox*, ChoiceList*> choices[] = {{channels_, &form_.channels},
                                                          {Chno_, &form_.Chno},
                                                          {template_, &form_.templateList}};
    for (const auto& [box, list] : choices) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this,
                [list = list](const QString& typed) { list->type(typed.toStdString()); });
        connect(box, &QComboBox::activated, this, [list = list](int index) { list->pick(index); });
    }
    connect(VScroll1_, &QScrollBar::valueChanged, this, &AddScheduleDialog::spinnerMoved);
    connect(Add_, &QPushButton::clicked, this, &AddScheduleDialog::addClicked);
    connect(Cancel_, &QPushButton::clicked, this, &QDialog::close);
}

bool AddScheduleDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) fieldEntered(watched);
    else if (event->type() == QEvent::FocusOut && !leavesTheDialog(event)) fieldLeft(watched);
    return QDialog::eventFilter(watched, event);
}

void AddScheduleDialog::fieldEntered(QObject* field) {
    if (field == hours_) form_.enterTimeField(AddScheduleForm::TimeField::Hours);
    else if (field == minutes_) form_.enterTimeField(AddScheduleForm::TimeField::Minutes);
}

void AddScheduleDialog::fieldLeft(QObject* field) {
    if (field == hours_) form_.hours_LostFocus();
    else if (field == minutes_) form_.minutes_LostFocus();
    else if (field == channels_) form_.channels_LostFocus();
    else if (field == Chno_) form_.Chno_LostFocus();
    else return;
    showForm();
}

void AddScheduleDialog::spinnerMoved(int position) {
    const Control focus = form_.VScroll1_Change(position);
    showForm();
    if (QWidget* w = widgetFor(focus)) w->setFocus(Qt::OtherFocusReason);
}

void AddScheduleDialog::addClicked() {
    // Enter pressed in a field adds without the field having been left.
    for (QObject* o = focusWidget(); o && o != this; o = o->parent()) {
        if (o == hours_ || o == minutes_ || o == channels_ || o == Chno_) {
            fieldLeft(o);
            break;
        }
    }
    const AddScheduleForm::AddResult result = form_.Add_Click();
    if (result.stored) {
        close();
        return;
    }
    if (QWidget* w = widgetFor(result.focus)) w->setFocus(Qt::OtherFocusReason);
}

QWidget* AddScheduleDialog::widgetFor(Control control) const {
    switch (control) {
    case Control::DTPicker1: return DTPicker1_;
    case Control::hours: return hours_;
    case Control::minutes: return minutes_;
    case Control::VScroll1: return VScroll1_;
    case Control::duration: return duration_;
    case Control::channels: return channels_;
    case Control::Chno: return Chno_;
    case Control::programme: return programme_;
    case Control::templateList: return template_;
    case Control::Add: return Add_;
    case Control::Cancel: return Cancel_;
    case Control::None: break;
    }
    return nullptr;
}

}  // namespace kelbo::ui
