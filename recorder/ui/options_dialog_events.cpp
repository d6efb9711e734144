// The Options window's two directions: edits go to the form, and refresh()
// shows the form's fields.
#include "options_dialog.h"

#include "screen_fit.h"

#include "recorder/forms/options_form.h"
#include "recorder/forms/picture_controls.h"
#include "recorder/ui/options_dialog_widgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QTimer>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

#include <vector>

namespace kelbo::ui {

namespace {

std::string text(const QString& s) { return s.toStdString(); }
QString qtext(const std::string& s) { return QString::fromStdString(s); }

// Only a real change is written, so the cursor of a field being typed in
// stays where it is.
void display(QLineEdit* field, const std::string& value) {
    if (field->text() != qtext(value)) field->setText(qtext(value));
}

void display(QScrollBar* bar, int value) {
    const QSignalBlocker block(bar);
    bar->setValue(value);
}

void display(QSpinBox* box, int value) {
    const QSignalBlocker block(box);
    box->setValue(value);
}

void display(QAbstractButton* button, bool checked) {
    const QSignalBlocker block(button);
    button->setChecked(checked);
}

void showItems(QComboBox* list, const std::vector<std::string>& items, int selected) {
    const QSignalBlocker block(list);
    QStringList wanted;
    for (const auto& item : items) wanted << qtext(item);
    QStringList present;
    for (int i = 0; i < list->count(); ++i) present << list->itemText(i);
    if (present != wanted) {
        list->clear();
        list->addItems(wanted);
    }
    list->setCurrentIndex(selected);
}

}  // namespace

void OptionsDialog::connectFields() {
    Widgets& w = *w_;
    OptionsForm& f = form_;
    connect(w.templateList, &QComboBox::activated, this, [&f](int i) { f.selectTemplate(i); });
    connect(w.startBuffer, &QLineEdit::textEdited, this, [&f](const QString& s) { f.setStartBufferText(text(s)); });
    connect(w.endBuffer, &QLineEdit::textEdited, this, [&f](const QString& s) { f.setEndBufferText(text(s)); });
    connect(w.startScroll, &QScrollBar::valueChanged, this, [&f](int v) { f.Start_Buffer_Scroll_Change(v); });
    connect(w.endScroll, &QScrollBar::valueChanged, this, [&f](int v) { f.End_Buffer_Scroll_Change(v); });
    connect(w.scheduleFile, &QLineEdit::textEdited, this, [&f](const QString& s) { f.setScheduleFileText(text(s)); });
    connect(w.channelPlaylist, &QLineEdit::textEdited, this,
            [&f](const QString& s) { f.setChannelPlaylistText(text(s)); });
    connect(w.tuners, &QSpinBox::valueChanged, this, [&f](int count) { f.setTuners(count); });
    connect(w.browse, &QPushButton::clicked, this, [this] {
        const QString chosen = chooseScheduleFile ? chooseScheduleFile(this) : QString();
        if (!chosen.isEmpty()) form_.scheduleFileBrowsed(text(chosen));
    });
    connect(w.fileString, &QLineEdit::textEdited, this, [&f](const QString& s) { f.setFileString(text(s)); });
    connect(w.test, &QPushButton::pressed, this, [&f] { f.TestFilename_MouseDown(); });
    connect(w.test, &QPushButton::released, this, [&f] { f.TestFilename_MouseUp(); });

    const std::pair<QCheckBox*, void (OptionsForm::*)(bool)> boxes[] = {
        {w.previewRecording, &OptionsForm::setPreviewRecording},
        {w.hearAudio, &OptionsForm::setHearPreviewAudio},
        {w.autoLoad, &OptionsForm::setAutoLoadSchedule},
        {w.expertMode, &OptionsForm::setExpertMode},
        {w.startInTray, &OptionsForm::setStartInSystemTray},
        {w.minimizeToTray, &OptionsForm::setMinimizeToSystem}};
    for (auto [box, setter] : boxes)
        connect(box, &QCheckBox::clicked, this, [&f, set = setter](bool on) { (f.*set)(on); });

    const std::pair<QRadioButton*, SplitType> splits[] = {
        {w.splitNone, SplitType::None}, {w.splitSize, SplitType::Size}, {w.splitTime, SplitType::Time}};
    for (auto [choice, split] : splits)
        connect(choice, &QRadioButton::clicked, this, [&f, type = split] { f.chooseSplit(type); });
    connect(w.splitNumber, &QLineEdit::textEdited, this, [&f](const QString& s) { f.setSplitNumberText(text(s)); });
    // The check's message box takes the focus from the field; that is no
    // second leaving of it.
    connect(w.splitNumber, &QLineEdit::editingFinished, this, [this] {
        if (checkingSplit_) return;
        checkingSplit_ = true;
        form_.SplitNumber_LostFocus();
        checkingSplit_ = false;
    });
    connect(w.guideTemplates, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        form_.setGuideTemplateTicked(w_->guideTemplates->row(item), item->checkState() == Qt::Checked);
    });
    connect(w.captureSource, &QComboBox::activated, this, [&f](int i) { f.chooseCaptureSource(i); });
    connect(w.captureSource->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const int index = w_->captureSource->currentIndex();
        const QString text = w_->captureSource->currentText();
        if (index >= 0 && text == w_->captureSource->itemText(index)) return;  // not typed
        form_.typeCaptureSource(text.toStdString());
    });
}

void OptionsDialog::connectPicture() {
    Widgets& w = *w_;
    OptionsForm& f = form_;
    for (const PictureControlNames& names : pictureControls()) {
        const PictureControl control = names.control;
        auto& picture = w.picture[static_cast<size_t>(control)];
        connect(picture.text, &QLineEdit::textEdited, this,
                [&f, control](const QString& s) { f.setPictureText(control, text(s)); });
        connect(picture.scroll, &QScrollBar::valueChanged, this,
                [&f, control](int v) { f.pictureScrolled(control, v); });
    }
    connect(w.composite, &QRadioButton::clicked, this, [&f] { f.chooseComposite(true); });
    connect(w.sVideo, &QRadioButton::clicked, this, [&f] { f.chooseComposite(false); });
    connect(w.pal, &QRadioButton::clicked, this, [&f] { f.choosePal(true); });
    connect(w.ntsc, &QRadioButton::clicked, this, [&f] { f.choosePal(false); });
}

void OptionsDialog::refresh() {
    Widgets& w = *w_;
    const OptionsForm& f = form_;
    const LiveSettings& live = f.live();
    refreshLists();
    display(w.startBuffer, f.startBufferText());
    display(w.endBuffer, f.endBufferText());
    display(w.startScroll, f.startBufferScroll());
    display(w.endScroll, f.endBufferScroll());
    display(w.scheduleFile, f.scheduleFileText());
    display(w.channelPlaylist, f.channelPlaylistText());
    display(w.tuners, f.tuners());
    display(w.fileString, live.FileString);
    w.floatFileName->setText(qtext(f.floatFileName()));
    w.floatFileName->setVisible(f.floatFileNameVisible());

    display(w.previewRecording, live.PreviewRecording);
    display(w.hearAudio, live.HearPreviewAudio);
    display(w.autoLoad, live.AutoLoadSchedule);
    display(w.expertMode, live.ExpertMode);
    display(w.startInTray, live.StartInSystemTray);
    display(w.minimizeToTray, live.MinimizeToSystem);

    display(w.splitNone, live.splitType == SplitType::None);
    display(w.splitSize, live.splitType == SplitType::Size);
    display(w.splitTime, live.splitType == SplitType::Time);
    display(w.splitNumber, live.SplitValue);
    w.splitNumber->setEnabled(f.splitNumberEnabled());
    QPalette palette = w.splitNumber->palette();
    palette.setColor(QPalette::Base, this->palette().color(
                                         f.splitNumberEnabled() ? QPalette::Base : QPalette::Button));
    w.splitNumber->setPalette(palette);
    w.splitUnits->setText(qtext(f.splitUnits()));
    refreshDeviceControls();
}

void OptionsDialog::refreshLists() {
    Widgets& w = *w_;
    const LiveSettings& live = form_.live();
    showItems(w.templateList, live.templates, form_.templateIndex());

    const QSignalBlocker block(w.guideTemplates);
    if (w.guideTemplates->count() != static_cast<int>(live.guideTemplates.size())) {
        w.guideTemplates->clear();
        for (const GuideTemplate& entry : live.guideTemplates) {
            auto* item = new QListWidgetItem(qtext(entry.name), w.guideTemplates);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        }
    }
    for (int i = 0; i < w.guideTemplates->count(); ++i) {
        QListWidgetItem* item = w.guideTemplates->item(i);
        const GuideTemplate& entry = live.guideTemplates[static_cast<size_t>(i)];
        item->setText(qtext(entry.name));
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    }

    std::vector<std::string> sources;
    for (const CaptureSourceChoice& choice : form_.captureSources()) sources.push_back(choice.label);
    showItems(w.captureSource, sources, form_.captureSourceIndex());
}

void OptionsDialog::refreshDeviceControls() {
    Widgets& w = *w_;
    const bool enabled = form_.deviceControlsEnabled();
    for (const PictureControlNames& names : pictureControls()) {
        auto& picture = w.picture[static_cast<size_t>(names.control)];
        const bool on = enabled && names.control != PictureControl::Sharpness;
        picture.label->setEnabled(on);
        picture.text->setEnabled(on);
        picture.scroll->setEnabled(on);
        display(picture.text, form_.pictureText(names.control));
        display(picture.scroll, form_.pictureScroll(names.control));
    }
    w.videoSourceFrame->setEnabled(enabled);
    w.standardFrame->setEnabled(enabled);
    display(w.composite, form_.composite());
    display(w.sVideo, !form_.composite());
    display(w.pal, form_.pal());
    display(w.ntsc, !form_.pal());
}

void OptionsDialog::showDialog() {
    if (!isVisible()) fitBeforeShow(*this);
    show();
    raise();
    activateWindow();
    QTimer::singleShot(kWindowFramedMs, this, [this] {
        if (isVisible()) pullOntoScreen(*this);
    });
}

void OptionsDialog::hideDialog() { hide(); }

void OptionsDialog::focusControl(const std::string& objectName) {
    if (auto* widget = findChild<QWidget*>(qtext(objectName))) widget->setFocus(Qt::OtherFocusReason);
}

// The fields must outlive the window: closing only hides it.
void OptionsDialog::closeEvent(QCloseEvent* event) {
    form_.closeBox();
    event->accept();
}

void OptionsDialog::reject() { form_.Command_Cancel_Click(); }

}  // namespace kelbo::ui
