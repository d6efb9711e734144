#include "guide_window.h"

#include "guide_addin.h"
#include "listing_model.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kelbo::guide {

GuideWindow::GuideWindow(ListingModel* model, const GuideAddin& addin, QWidget* parent)
    : QWidget(parent), addin_(addin), model_(model), proxy_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)), view_(new QTableView(this)), status_(new QLabel(this)) {
    model_->setParent(this);
    proxy_->setSourceModel(model_);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setFilterKeyColumn(-1);  // any column

    filter_->setPlaceholderText(QStringLiteral("Filter by channel, title, category or description"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);

    view_->setModel(proxy_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = view_->indexAt(at);
        if (!index.isValid()) return;
        QMenu* menu = programmeMenu(index.row());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(view_->viewport()->mapToGlobal(at));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(view_);
    layout->addWidget(status_);
    setWindowTitle(QStringLiteral("Kelbo guide"));
    resize(1000, 600);
}

QString GuideWindow::statusText() const { return status_->text(); }

void GuideWindow::showStatus(const QString& text) { status_->setText(text); }

QMenu* GuideWindow::programmeMenu(int row) {
    const int sourceRow = proxy_->mapToSource(proxy_->index(row, 0)).row();
    auto* menu = new QMenu(this);
    const auto entries = addin_.menu();
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString text = QString::fromStdString(entries[i].text);
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, i, sourceRow, text] {
            const GuideProgramme programme = model_->programme(sourceRow);
            if (addin_.record(i, programme.record()))
                showStatus(QStringLiteral("\"%1\" handed to the add-in: %2")
                               .arg(QString::fromStdString(programme.name), text));
            else
                showStatus(QStringLiteral("The add-in has no command for \"%1\".").arg(text));
        });
    }
    if (entries.empty()) menu->addAction(QStringLiteral("(the add-in offers no entries)"))->setEnabled(false);
    return menu;
}

}  // namespace kelbo::guide
