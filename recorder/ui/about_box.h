#pragma once

#include <QDialog>

class QLabel;

namespace kelbo::ui {

// The about box: the application's name and version. Not modal; it deletes
// itself on closing and is built afresh by the next "About".
class frmAbout : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Kelbo";

    explicit frmAbout(QWidget* parent = nullptr);

    // Shows a new box when none is open, else brings the open one forward.
    static frmAbout* showAbout(QWidget* parent = nullptr);
    // The box now open, or null.
    static frmAbout* current();

    // "Version " and the program's major.minor.revision.
    static QString versionText();
};

}  // namespace kelbo::ui
