#pragma once

#include "recorder/forms/detail_pane.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kelbo::ui {

// The detail frame `Frame2`: shows the pane's fields, greyed or editable,
// and forwards typing, Enter and the fields' loss of focus to the pane.
class DetailPaneWidget : public QGroupBox, public DetailPaneView {
    Q_OBJECT
public:
    explicit DetailPaneWidget(DetailPane& pane, QWidget* parent = nullptr);
    ~DetailPaneWidget() override;

    void paneChanged() override;

    QComboBox* templateList() const { return template_; }
    QLineEdit* fileName() const { return fileName_; }
    QLineEdit* startBuffer() const { return startBuffer_; }
    QLineEdit* adjustedStart() const { return adjustedStart_; }
    QLineEdit* endBuffer() const { return endBuffer_; }
    QLineEdit* adjustedEnd() const { return adjustedEnd_; }
    QPlainTextEdit* description() const { return description_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addLineEdit(const char* name, bool editable);
    QLabel* addLabel(const char* name, const QString& caption);
    void fillTemplates();
    void colourFields(bool editable);

    DetailPane& pane_;
    QComboBox* template_;
    QLineEdit* fileName_;
    QLineEdit* startBuffer_;
    QLineEdit* adjustedStart_;
    QLineEdit* endBuffer_;
    QLineEdit* adjustedEnd_;
    QPlainTextEdit* description_;
};

}  // namespace kelbo::ui
