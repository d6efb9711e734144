#include "recorded_row_menu.h"

#include "schedule_list_view.h"
#include "recorder/forms/recordings.h"
#include "recorder/schedule/part_files.h"
#include "recorder/forms/schedule_list.h"

#include <QMenu>

namespace kelbo::ui {


RecordedRowMenu::RecordedRowMenu(ScheduleListView& view, ScheduleList& list,
                                 std::function<void()> deleteSelected, OpenCommand open)
    : QObject(&view), view_(view), list_(list), deleteSelected_(std::move(deleteSelected)),
      open_(std::move(open)) {
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, &RecordedRowMenu::openMenuAt);
    connect(&view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) play(index.row() + 1);
    });
}

RecordedRowMenu::~RecordedRowMenu() = default;

std::vector<std::string> RecordedRowMenu::filesOf(int row) const {
    if (row < 1 || row > list_.rowCount()) return {};
    return recordedFiles(list_.cell(row, Column::Filename));
}

void RecordedRowMenu::play(int row) {
    if (row < 1 || row > list_.rowCount()) return;
    const auto parts = latestRecording(list_.cell(row, Column::Filename));
    if (!parts.empty()) open_(parts, tr("Play").toStdString());
}

void RecordedRowMenu::openContainingFolder(int row) {
    const auto files = filesOf(row);
    if (files.empty()) return;
    open_({part_files::folderOf(files.front())}, tr("Open Containing Folder").toStdString());
}

std::unique_ptr<QMenu> RecordedRowMenu::menuFor(int row) {
    if (row < 1 || row > list_.rowCount()) return nullptr;
    auto menu = std::make_unique<QMenu>(&view_);
    const bool recorded = !filesOf(row).empty();
    QAction* playAction = menu->addAction(tr("Play"), this, [this, row] { play(row); });
    playAction->setEnabled(recorded);
    menu->setDefaultAction(playAction);
    menu->addAction(tr("Open Containing Folder"), this, [this, row] { openContainingFolder(row); })
        ->setEnabled(recorded);
    menu->addSeparator();
    menu->addAction(tr("Delete"), this, [this, row] {
        view_.selectRow(row);
        if (deleteSelected_) deleteSelected_();
    });
    return menu;
}

void RecordedRowMenu::openMenuAt(const QPoint& pos) {
    const QModelIndex index = view_.indexAt(pos);
    if (!index.isValid()) return;
    view_.selectRow(index.row() + 1);
    if (auto menu = menuFor(index.row() + 1)) menu->exec(view_.viewport()->mapToGlobal(pos));
}

}  // namespace kelbo::ui
