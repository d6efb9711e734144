#pragma once

#include "common/clock.h"

#include <QObject>
#include <QTimer>

class QAction;
class QMenu;
class QTreeView;

namespace kelbo {
class ScheduleListing;
class SettingsStore;
}

namespace kelbo::ui {

// View > Hide Finished Programmes: hides from the view, not from the list,
// the rows of programmes recorded, stopped or failed whose time has passed,
// so that a recorder left running for months keeps a short list. The
// choice is kept in the settings store.
class FinishedRowsFilter : public QObject {
    Q_OBJECT
public:
    FinishedRowsFilter(QMenu& view, QTreeView& list, const ScheduleListing& rows, const Clock& clock,
                       SettingsStore& store);

    QAction* action() const { return action_; }
    // Hides and shows rows as the list and the clock now say.
    void apply();

private:
    void toggled(bool hide);

    QTreeView& view_;
    const ScheduleListing& rows_;
    const Clock& clock_;
    SettingsStore& store_;
    QAction* action_;
    QTimer timer_;
};

}  // namespace kelbo::ui
