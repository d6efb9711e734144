#include "guide_window.h"

#include "guide_addin.h"
#include "listing_model.h"
#include "listing_programme.h"
#include "schedule_slots.h"
#include "series_apply.h"
#include "series_menu.h"
#include "series_rules.h"

#include "common/clock.h"
#include "common/settings_store.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace kelbo::guide {

namespace {

// Ended programmes in the palette's disabled text colour, so that the
// greying follows a dark theme; the "Ended" text says it without colour.
class ListingProxy : public QSortFilterProxyModel {
public:
    ListingProxy(QWidget* colours, QObject* parent) : QSortFilterProxyModel(parent), colours_(colours) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::ForegroundRole && index.data(ListingModel::EndedRole).toBool())
            return colours_->palette().brush(QPalette::Disabled, QPalette::Text);
        return QSortFilterProxyModel::data(index, role);
    }

private:
    QWidget* colours_;
};

std::vector<std::string> entryTexts(const GuideAddin& addin) {
    std::vector<std::string> texts;
    for (const auto& entry : addin.menu()) texts.push_back(entry.text);
    return texts;
}

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}

}  // namespace

GuideWindow::GuideWindow(ListingModel* model, const GuideAddin& addin, QWidget* parent, const Clock* clock)
    : QWidget(parent), addin_(addin), clock_(clock ? *clock : systemClock()), model_(model),
      proxy_(new ListingProxy(this, this)), filter_(new QLineEdit(this)), view_(new QTableView(this)),
      status_(new QLabel(this)),
      series_(new SeriesMenu(entryTexts(addin), [this](const QString& text) { showStatus(text); }, this)) {
    model_->setParent(this);
    // Marked before the view sees the rows, so that it need not be told.
    refreshMarks();
    proxy_->setSourceModel(model_);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setFilterKeyColumn(-1);  // any column

    filter_->setPlaceholderText(
        QCoreApplication::translate("GuideWindow", "Filter by channel, title, category or description"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);

    view_->setModel(proxy_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    // Short columns as wide as their texts, so that no start time is cut.
    for (const int column : {ListingModel::Channel, ListingModel::Start, ListingModel::Duration,
                             ListingModel::Episode})
        view_->resizeColumnToContents(column);
    const QString widestMark = QCoreApplication::translate("ListingModel", "Scheduled, ended");
    view_->setColumnWidth(ListingModel::Status, view_->fontMetrics().horizontalAdvance(widestMark) + 16);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, &GuideWindow::openMenuAt);
    view_->installEventFilter(this);

    status_->setWordWrap(true);

    auto* bar = new QMenuBar(this);
    bar->addMenu(series_);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(filter_);
    layout->addWidget(view_);
    layout->addWidget(status_);
    // The status quotes programme names: guide text, never markup.
    status_->setTextFormat(Qt::PlainText);
    setWindowTitle(QCoreApplication::translate("GuideWindow", "Kelbo guide"));
    resize(1000, 600);
    // Never larger than the screen (a netbook's is 600 px high), with room
    // for the window manager's frame.
    if (const QScreen* on = screen()) resize(size().boundedTo(on->availableGeometry().size() - QSize(16, 48)));

    // Programmes end as the window stays open.
    auto* minute = new QTimer(this);
    connect(minute, &QTimer::timeout, this, [this] { model_->setNow(clock_.now()); });
    minute->start(std::chrono::minutes(1));
}

void GuideWindow::refreshMarks() {
    const SettingsStore settings(SettingsStore::defaultLocation());
    model_->markScheduled(ScheduleSlots::read(scheduleFileOf(settings)));
    model_->setNow(clock_.now());
}

void GuideWindow::openMenuAt(const QPoint& at) {
    const QModelIndex index = view_->indexAt(at);
    if (!index.isValid()) return;
    QMenu* menu = programmeMenu(index.row());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view_->viewport()->mapToGlobal(at));
}

bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu ||
                             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        const QModelIndex current = view_->currentIndex();
        if (menuKey && current.isValid()) {
            view_->scrollTo(current);
            openMenuAt(view_->visualRect(current).center());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString GuideWindow::statusText() const { return status_->text(); }

void GuideWindow::showStatus(const QString& text) { status_->setText(text); }

void GuideWindow::showAddinMessage(const std::string& text) {
    // The add-in's messages quote guide text.
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromStdString(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QMenu* GuideWindow::programmeMenu(int row) {
    const int sourceRow = proxy_->mapToSource(proxy_->index(row, 0)).row();
    auto* menu = new QMenu(this);
    const auto entries = addin_.menu();
    if (entries.empty()) {
        menu->addAction(QCoreApplication::translate("GuideWindow", "(the add-in offers no entries)"))
            ->setEnabled(false);
        return menu;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString text = QString::fromStdString(entries[i].text);
        connect(menu->addAction(text), &QAction::triggered, this,
                [this, i, sourceRow, text] { recordOne(sourceRow, i, text); });
    }
    menu->addSeparator();
    QMenu* series = menu->addMenu(QCoreApplication::translate("GuideWindow", "Record series with"));
    for (size_t i = 0; i < entries.size(); ++i) {
        QString text = QString::fromStdString(entries[i].text);
        text.remove(QRegularExpression(QStringLiteral("^Record with ")));
        connect(series->addAction(text), &QAction::triggered, this,
                [this, i, sourceRow] { recordSeries(sourceRow, i); });
    }
    return menu;
}

void GuideWindow::recordOne(int sourceRow, size_t entry, const QString& entryText) {
    const XmltvProgramme& p = model_->listing().programmes[static_cast<size_t>(sourceRow)];
    const GuideProgramme programme = model_->programme(sourceRow);
    const QString name = QString::fromStdString(programme.name);
    if (!addin_.record(entry, programme.record())) {
        showStatus(QCoreApplication::translate("GuideWindow", "The add-in has no command for \"%1\".").arg(entryText));
        return;
    }
    QString status = QCoreApplication::translate("GuideWindow", "\"%1\" handed to the add-in: %2").arg(name, entryText);
    if (startsInRepeatedHour(p.start))
        status += QCoreApplication::translate("GuideWindow",
                                              ". It starts at %1, in the hour the clocks go through twice: its "
                                              "start in the schedule reads as the first run of that hour, so the "
                                              "true start is in its description, and the recorder drops it if a "
                                              "programme of the first run on this channel is scheduled too.")
                      .arg(QString::fromStdString(trueStart(p.start)));
    showStatus(status);
    refreshMarks();
}

void GuideWindow::recordSeries(int sourceRow, size_t entry) {
    const XmltvListing& listing = model_->listing();
    const XmltvProgramme& p = listing.programmes[static_cast<size_t>(sourceRow)];
    SeriesRule rule;
    rule.title = std::string(listing.text(p.title));
    rule.channel = listing.channelName(p);
    rule.entry = entry;
    SettingsStore settings(SettingsStore::defaultLocation());
    SeriesRuleStore rules(settings);
    const bool added = rules.add(rule);
    if (rules.failed()) {
        showStatus(QCoreApplication::translate("GuideWindow", "The series rule could not be stored in %1.")
                       .arg(QString::fromStdString(settings.file().string())));
        return;
    }
    const RulesApplied applied =
        applyRules(listing, {rule}, scheduleFileOf(settings), clock_.now(),
                   [this](size_t e, const GuideProgramme& g) { return addin_.record(e, g.record()); });
    // One pass: a title or channel name with "%4" in it stays as it is.
    showStatus(QCoreApplication::translate("GuideWindow",
                                           "%1 \"%2\" on %3: %4 programme(s) handed to the add-in, %5 already in the "
                                           "schedule.")
                   .arg(added ? QCoreApplication::translate("GuideWindow", "Series rule stored for")
                              : QCoreApplication::translate("GuideWindow", "Series rule already stored for"),
                        QString::fromStdString(rule.title), QString::fromStdString(rule.channel),
                        QString::number(applied.recorded), QString::number(applied.alreadyScheduled)));
    series_->refresh();
    refreshMarks();
}

}  // namespace kelbo::guide
