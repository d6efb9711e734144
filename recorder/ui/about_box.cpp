#include "about_box.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelbo::ui {

namespace {

QPointer<AboutBox>& openBox() {
    static QPointer<AboutBox> box;
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}

QFrame* line(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

}  // namespace

QString AboutBox::versionText() {
    return tr("Version %1.%2.%3")
        .arg(KELBO_VERSION_MAJOR)
        .arg(KELBO_VERSION_MINOR)
        .arg(KELBO_VERSION_PATCH);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(tr("About %1").arg(kTitle));

    auto* title = label(this, "lblTitle", kTitle);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(label(this, "lblVersion", versionText()));
    layout->addWidget(line(this, "Line1"));
    layout->addWidget(label(this, "Label3", tr("To receive updates and provide feedback")));
    layout->addWidget(label(this, "Label4",
                            tr("visit the Kelbo project page, where new releases are published "
                               "and problems can be reported.")));
    auto* link = label(this, "lblProjectPage",
                       QStringLiteral("<a href=\"%1\">%1</a>").arg(kProjectPage));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    layout->addWidget(link);
    layout->addWidget(label(this, "Label2",
                            tr("Kelbo is free software: support it by reporting bugs, sending "
                               "improvements or telling others about it.")));
    layout->addWidget(label(this, "lblLicence",
                            tr("Licensed under the GNU General Public License, version 3 or "
                               "(at your option) any later version. It comes with no warranty.")));
    layout->addWidget(line(this, "Line2"));
    layout->addLayout(buttons);
    setFixedWidth(360);
}

AboutBox* AboutBox::showAbout(QWidget* parent) {
    QPointer<AboutBox>& box = openBox();
    if (!box) box = new AboutBox(parent);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

AboutBox* AboutBox::current() { return openBox(); }

}  // namespace kelbo::ui
