#pragma once

#include <QDialog>

class QLabel;

namespace kelbo::ui {

// The about box: the application's name and version. Not modal; it deletes
// itself on closing and is built afresh by the next "About".
class AboutBox : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Kelbo";
    static constexpr const char* kProjectPage = "https://github.com/kelbo/kelbo";

    explicit AboutBox(QWidget* parent = nullptr);

    // Shows a new box when none is open, else brings the open one forward.
    static AboutBox* showAbout(QWidget* parent = nullptr);
    // The box now open, or null.
    static AboutBox* current();

    // "Version " and the program's major.minor.revision.
    static QString versionText();
};

}  // namespace kelbo::ui
