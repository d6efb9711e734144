#include "finished_rows_filter.h"

#include "common/settings_keys.h"
#include "common/settings_store.h"
#include "recorder/schedule/finished_rows.h"
#include "recorder/forms/schedule_listing.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace kelbo::ui {

FinishedRowsFilter::FinishedRowsFilter(QMenu& view, QTreeView& list, const ScheduleListing& rows,
                                       const Clock& clock, SettingsStore& store)
    : QObject(&list), view_(list), rows_(rows), clock_(clock), store_(store) {
    action_ = new QAction(tr("Hide Finished Programmes"), this);
    view.addAction(action_);
    action_->setObjectName("HideFinished");
    action_->setCheckable(true);
    action_->setChecked(store_.GetSetting(settings::kDefaults, settings::kHideFinishedProgrammes) == "1");
    connect(action_, &QAction::toggled, this, &FinishedRowsFilter::toggled);
    // A reset or a new row shows every row again.
    QAbstractItemModel* model = list.model();
    connect(model, &QAbstractItemModel::modelReset, this, &FinishedRowsFilter::apply);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FinishedRowsFilter::apply);
    connect(model, &QAbstractItemModel::dataChanged, this, &FinishedRowsFilter::apply);
    // Programmes end as time passes.
    connect(&timer_, &QTimer::timeout, this, &FinishedRowsFilter::apply);
    timer_.start(5000);
    apply();
}

void FinishedRowsFilter::toggled(bool hide) {
    store_.SaveSetting(settings::kDefaults, settings::kHideFinishedProgrammes, hide ? "1" : "0");
    apply();
}

void FinishedRowsFilter::apply() {
    const bool hide = action_->isChecked();
    const Instant now = clock_.now();
    const int rows = view_.model()->rowCount();
    for (int r = 0; r < rows; ++r) {
        const bool hidden = hide && isFinishedAndPast(rows_.schedule(), rows_.idOfRow(r + 1), now);
        if (view_.isRowHidden(r, {}) != hidden) view_.setRowHidden(r, {}, hidden);
    }
}

}  // namespace kelbo::ui
