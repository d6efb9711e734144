#include "detail_pane_widget.h"
#include "accessible_names.h"

#include "palette_colours.h"
#include "common/settings_keys.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kelbo::ui {

namespace {

constexpr int kTwips = settings::kTwipsPerPixel;

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
    setToolTip(tr("Detail frame for item selected in schedule above."));

    template_ = new QComboBox(this);
    template_->setObjectName("Detail_Template");
    template_->installEventFilter(this);
    fillTemplates();
    fileName_ = addLineEdit("Detail_FileName", true);
    startBuffer_ = addLineEdit("Detail_StartBuffer", true);
    adjustedStart_ = addLineEdit("Detail_AdjustedStart", false);
    endBuffer_ = addLineEdit("Detail_EndBuffer", true);
    adjustedEnd_ = addLineEdit("Detail_AdjustedEnd", false);
    description_ = new QPlainTextEdit(this);
    description_->setObjectName("Detail_Description");
    description_->setReadOnly(true);
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The fields' designed sizes (in twips) as minimum widths; a grid keeps
    // the captions readable in whatever font the desktop uses.
    template_->setMinimumWidth(3495 / kTwips);
    fileName_->setMinimumWidth(3495 / kTwips);
    for (QLineEdit* buffer : {startBuffer_, endBuffer_}) buffer->setFixedWidth(2 * 375 / kTwips);
    for (QLineEdit* adjusted : {adjustedStart_, adjustedEnd_}) adjusted->setMinimumWidth(1935 / kTwips);
    description_->setFixedHeight(615 / kTwips);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(3);
    grid->addWidget(addLabel("Label_Template", tr("Template")), 0, 0);
    grid->addWidget(template_, 0, 1, 1, 4);
    grid->addWidget(addLabel("Label_FileName", tr("FileName")), 1, 0);
    grid->addWidget(fileName_, 1, 1, 1, 4);
    grid->addWidget(addLabel("Label_StartBuffer", tr("Start Buffer")), 2, 0);
    grid->addWidget(startBuffer_, 2, 1);
    grid->addWidget(addLabel("Label_AdjustedStart", tr("Adjusted Start")), 2, 2);
    grid->addWidget(adjustedStart_, 2, 3, 1, 2);
    grid->addWidget(addLabel("Label_EndBuffer", tr("End Buffer")), 3, 0);
    grid->addWidget(endBuffer_, 3, 1);
    grid->addWidget(addLabel("Label_AdjustedEnd", tr("Adjusted End")), 3, 2);
    grid->addWidget(adjustedEnd_, 3, 3, 1, 2);
    grid->addWidget(description_, 4, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    const std::pair<const char*, QWidget*> buddies[] = {
        {"Label_Template", template_},       {"Label_FileName", fileName_},
        {"Label_StartBuffer", startBuffer_}, {"Label_AdjustedStart", adjustedStart_},
        {"Label_EndBuffer", endBuffer_},     {"Label_AdjustedEnd", adjustedEnd_}};
    for (const auto& [labelName, field] : buddies) nameAfterLabel(*findChild<QLabel*>(labelName), *field);
    description_->setAccessibleName(tr("Description"));

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

QLineEdit* DetailPaneWidget::addLineEdit(const char* name, bool editable) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(!editable);
    if (editable) edit->installEventFilter(this);
    return edit;
}

QLabel* DetailPaneWidget::addLabel(const char* name, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    return label;
}

void DetailPaneWidget::fillTemplates() {
    template_->clear();
    for (const std::string& name : pane_.templates()) template_->addItem(QString::fromStdString(name));
}

void DetailPaneWidget::colourFields(bool editable) {
    const QPalette colours;  // the application's, light or dark
    const QColor editableBase = colours.color(QPalette::Base);
    const QColor greyed = greyedFieldColour(colours);
    for (QWidget* field : std::initializer_list<QWidget*>{template_, fileName_, startBuffer_, endBuffer_})
        setBase(field, editable ? editableBase : greyed);
    for (QWidget* field : std::initializer_list<QWidget*>{adjustedStart_, adjustedEnd_, description_})
        setBase(field, greyed);
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
