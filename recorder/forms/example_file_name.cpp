#include "example_file_name.h"

#include "schedule_list.h"
#include "recorder/schedule/file_naming.h"

namespace kelbo {

namespace {

// The column that shows a token's field.
Column columnOf(std::string ScheduleItem::*field) {
    if (field == &ScheduleItem::StartDate) return Column::Date;
    if (field == &ScheduleItem::StartTime) return Column::Time;
    if (field == &ScheduleItem::Category) return Column::Category;
    if (field == &ScheduleItem::ChannelNumber) return Column::ChannelNumber;
    if (field == &ScheduleItem::ChannelName) return Column::Channel;
    return Column::Programme;
}

}  // namespace

std::string Example_FileName(const ScheduleList& list, int row, std::string_view pattern) {
    if (list.rowCount() == 0)
        return expandFileName(pattern, [](const FileNameToken& t) { return std::string(t.sample); });
    return expandFileName(pattern, [&](const FileNameToken& t) { return list.cell(row, columnOf(t.field)); });
}

}  // namespace kelbo
