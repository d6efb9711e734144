#include "detail_pane_widget.h"

#include "common/settings_keys.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kelbo::ui {

namespace {

constexpr int kTwips = settings::kTwipsPerPixel;
const QColor kGreyed(224, 224, 224);

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(left / kTwips, top / kTwips, width / kTwips, height / kTwips);
}

void setBase(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

void setTextIfChanged(QLineEdit* edit, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() != value) edit->setText(value);
}

}  // namespace

DetailPaneWidget::DetailPaneWidget(DetailPane& pane, QWidget* parent)
    : QGroupBox(parent), pane_(pane) {
    setObjectName("Frame2");
    setToolTip("Detail frame for item selected in schedule above.");
    setMinimumSize(6375 / kTwips, 2415 / kTwips);

    addLabel("Label_Template", "Template", 120, 240, 840);
    template_ = new QComboBox(this);
    template_->setObjectName("Detail_Template");
    template_->setGeometry(twipsRect(960, 240, 3495, 315));
    template_->installEventFilter(this);
    fillTemplates();

    addLabel("Label_FileName", "FileName", 120, 600, 840);
    fileName_ = addLineEdit("Detail_FileName", 960, 600, 3495, 285, true);
    addLabel("Label_StartBuffer", "Start Buffer", 120, 960, 840);
    startBuffer_ = addLineEdit("Detail_StartBuffer", 960, 960, 375, 285, true);
    addLabel("Label_AdjustedStart", "Adjusted Start", 1440, 960, 1080);
    adjustedStart_ = addLineEdit("Detail_AdjustedStart", 2520, 960, 1935, 285, false);
    addLabel("Label_EndBuffer", "End Buffer", 120, 1320, 840);
    endBuffer_ = addLineEdit("Detail_EndBuffer", 960, 1320, 375, 285, true);
    addLabel("Label_AdjustedEnd", "Adjusted End", 1440, 1320, 1080);
    adjustedEnd_ = addLineEdit("Detail_AdjustedEnd", 2520, 1320, 1935, 285, false);

    description_ = new QPlainTextEdit(this);
    description_->setObjectName("Detail_Description");
    description_->setGeometry(twipsRect(120, 1680, 6135, 615));
    description_->setReadOnly(true);
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connect(template_, &QComboBox::activated, this, [this](int index) { pane_.setTemplateIndex(index); });
    connect(fileName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { pane_.setFileNameText(text.toStdString()); });
    connect(startBuffer_, &QLineEdit::textEdited, this,
            [this](const QString& text) { pane_.setStartBufferText(text.toStdString()); });
    connect(endBuffer_, &QLineEdit::textEdited, this,
            [this](const QString& text) { pane_.setEndBufferText(text.toStdString()); });
    connect(fileName_, &QLineEdit::returnPressed, this, [this] { pane_.Detail_FileName_KeyPress(13); });
    connect(startBuffer_, &QLineEdit::returnPressed, this, [this] { pane_.Detail_StartBuffer_KeyPress(13); });
    connect(endBuffer_, &QLineEdit::returnPressed, this, [this] { pane_.Detail_EndBuffer_KeyPress(13); });

    pane_.setView(this);
    paneChanged();
}

DetailPaneWidget::~DetailPaneWidget() { pane_.setView(nullptr); }

QLineEdit* DetailPaneWidget::addLineEdit(const char* name, int left, int top, int width, int height,
                                         bool editable) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(twipsRect(left, top, width, height));
    edit->setReadOnly(!editable);
    if (editable) edit->installEventFilter(this);
    return edit;
}

void DetailPaneWidget::addLabel(const char* name, const char* caption, int left, int top, int width) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    label->setGeometry(twipsRect(left, top, width, 285));
}

void DetailPaneWidget::fillTemplates() {
    template_->clear();
    for (const std::string& name : pane_.templates()) template_->addItem(QString::fromStdString(name));
}

void DetailPaneWidget::colourFields(bool editable) {
    const QColor editableBase = QPalette().color(QPalette::Base);
    for (QWidget* field : std::initializer_list<QWidget*>{template_, fileName_, startBuffer_, endBuffer_})
        setBase(field, editable ? editableBase : kGreyed);
    for (QWidget* field : std::initializer_list<QWidget*>{adjustedStart_, adjustedEnd_, description_})
        setBase(field, kGreyed);
}

void DetailPaneWidget::paneChanged() {
    // Texts first: a field that loses the focus when the frame is disabled
    // must find the new row's values, not the old one's.
    const DetailFields& fields = pane_.fields();
    if (template_->count() != static_cast<int>(pane_.templates().size())) fillTemplates();
    template_->setCurrentIndex(fields.templateIndex);
    setTextIfChanged(fileName_, fields.fileName);
    setTextIfChanged(startBuffer_, fields.startBuffer);
    setTextIfChanged(adjustedStart_, fields.adjustedStart);
    setTextIfChanged(endBuffer_, fields.endBuffer);
    setTextIfChanged(adjustedEnd_, fields.adjustedEnd);
    const QString description = QString::fromStdString(fields.description);
    if (description_->toPlainText() != description) description_->setPlainText(description);

    colourFields(pane_.editable());
    setEnabled(pane_.editable());
}

bool DetailPaneWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Another window (a question box, the list's drop-down) taking the
        // focus is not the user leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == template_) pane_.Detail_Template_LostFocus();
            else if (watched == fileName_) pane_.Detail_FileName_LostFocus();
            else if (watched == startBuffer_) pane_.Detail_StartBuffer_LostFocus();
            else if (watched == endBuffer_) pane_.Detail_EndBuffer_LostFocus();
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace kelbo::ui
