#include "schedule_listing.h"

#include "clash_tags.h"
#include "recorder/schedule/file_naming.h"
#include "recorder/schedule/live_settings.h"
#include "recorder/schedule/schedule_document.h"

#include <algorithm>

namespace kelbo {

ScheduleListing::ScheduleListing(ScheduleDocument& document, NextProgramme& next)
    : document_(document), next_(next) {
    const Schedule& programmes = document_.schedule();
    for (int position = 0; position < programmes.listedCount(); ++position)
        programmeListed(programmes.inStartOrder()[static_cast<size_t>(position)], position);
    document_.schedule().addObserver(this);
    next_.addObserver(this);
}

ScheduleListing::~ScheduleListing() {
    next_.removeObserver(this);
    document_.schedule().removeObserver(this);
}

const Schedule& ScheduleListing::schedule() const { return document_.schedule(); }

void ScheduleListing::Display_Schedule(int nextRow) {
    list_.sortBy(Column::IndexString);
    document_.schedule().listAll();
    if (nextRow != 0) list_.Set_Row_Colour(nextRow, colour::kRed);
    paintOtherTuners();
}

void ScheduleListing::showOtherTuners(std::vector<ProgrammeId> ids) {
    for (const ProgrammeId left : otherTuners_)
        if (left != next_.id() && std::find(ids.begin(), ids.end(), left) == ids.end())
            list_.Set_Row_Colour(rowOf(left), ownColour(left));
    otherTuners_ = std::move(ids);
    paintOtherTuners();
    list_.refresh();
}

bool ScheduleListing::takenByOtherTuner(ProgrammeId id) const {
    return id != 0 && std::find(otherTuners_.begin(), otherTuners_.end(), id) != otherTuners_.end();
}

void ScheduleListing::paintOtherTuners() {
    for (const ProgrammeId id : otherTuners_) list_.Set_Row_Colour(rowOf(id), colour::kRed);
}

int ScheduleListing::ownColour(ProgrammeId id) const {
    return next_.clashes().with(id).empty() ? colour::kBlack : colour::kBlue;
}

std::vector<std::string> ScheduleListing::cellsFor(int slot) const {
    const Schedule& programmes = document_.schedule();
    const ScheduleTable& table = programmes.slotTable();
    const LiveSettings& settings = document_.settings();
    const ScheduleItem& item = table[slot];
    const ColumnLayout& layout = list_.layout();
    const auto orDefault = [](const std::string& own, const std::string& fallback) {
        return own.empty() ? fallback : own;
    };
    std::vector<std::string> cells(static_cast<size_t>(layout.shownCount()));
    for (int position = 1; position <= static_cast<int>(cells.size()); ++position) {
        std::string text;
        switch (*layout.columnAt(position)) {
        case Column::IndexString: text = item.IndexString; break;
        case Column::ArrayID: text = std::to_string(slot); break;
        case Column::Date: text = item.StartDate; break;
        case Column::Time: text = item.StartTime; break;
        case Column::Programme: text = item.ProgrammeName; break;
        case Column::Duration: text = item.Duration; break;
        case Column::Channel: text = item.ChannelName; break;
        case Column::ChannelNumber: text = item.ChannelNumber; break;
        case Column::Filename:
            text = item.FileName.empty() ? Expand_FileName(table, slot, settings.FileString) : item.FileName;
            break;
        case Column::Template: text = orDefault(item.Template, settings.Template); break;
        case Column::SBuf: text = orDefault(item.StartBuffer, settings.StartBuffer); break;
        case Column::EBuf: text = orDefault(item.EndBuffer, settings.EndBuffer); break;
        case Column::Description: text = item.Description; break;
        case Column::Category: text = item.Category; break;
        case Column::Status:
            text = programmes.statusOf(programmes.idAt(slot)) == ProgrammeStatus::Recording ? "Recording"
                                                                                           : item.Complete;
            break;
        }
        cells[static_cast<size_t>(position - 1)] = std::move(text);
    }
    return cells;
}

ProgrammeId ScheduleListing::idOfRow(int row) const {
    const auto& order = document_.schedule().inStartOrder();
    return row >= 1 && row <= static_cast<int>(order.size()) ? order[static_cast<size_t>(row - 1)] : 0;
}

int ScheduleListing::rowOf(ProgrammeId id) const { return document_.schedule().position(id) + 1; }

int ScheduleListing::slotOfRow(int row) const { return document_.schedule().slotOf(idOfRow(row)); }

void ScheduleListing::scheduleCleared() { list_.clear(); }

void ScheduleListing::programmeListed(ProgrammeId id, int position) {
    list_.insertRow(position + 1, cellsFor(document_.schedule().slotOf(id)));
}

void ScheduleListing::programmeUnlisted(ProgrammeId, int position) { list_.removeRow(position + 1); }

void ScheduleListing::programmeChanged(ProgrammeId id, int position) {
    if (position >= 0) list_.setCells(position + 1, cellsFor(document_.schedule().slotOf(id)));
}

void ScheduleListing::nextChosen(const NextProgramme& next) {
    showClashes(document_.schedule(), next.clashes(), list_);
    list_.Set_Row_Colour(rowOf(next.id()), colour::kRed);
    paintOtherTuners();
    list_.refresh();
}

void ScheduleListing::nextMoved(const NextProgramme& next, ProgrammeId previous) {
    if (!takenByOtherTuner(previous)) list_.Set_Row_Colour(rowOf(previous), colour::kBlack);
    list_.Set_Row_Colour(rowOf(next.id()), colour::kRed);
    list_.refresh();
}

}  // namespace kelbo
