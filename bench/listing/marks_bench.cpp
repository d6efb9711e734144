// The guide window's marks on a large listing behind a filtered view, as the
// window has it: each minute the clock moves on, and what it costs when the
// model tells the view only the rows whose "Ended" changed, beside telling
// it every row. Both run in one process, alternately, in several rounds;
// printed: medians with min-max and their ratio.
//
// Also the cost of marking what the schedule holds after a record action.
//
//   build/bench/marks_bench [PROGRAMMES]   (default 200000)
#include "listing_generator.h"
#include "listing_model.h"
#include "xmltv_reader.h"

#include <QSortFilterProxyModel>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace kelbo::guide;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int programmes = argc > 1 ? std::atoi(argv[1]) : 200000;
    const auto file = std::filesystem::temp_directory_path() / "kelbo_marks_bench.xml";
    const int written = kelbo::bench::writeRealisticListing(file, programmes);
    XmltvListing listing = XmltvReader().readFile(QString::fromStdString(file.string()));
    std::filesystem::remove(file);
    if (!listing.error.isEmpty() || listing.programmes.empty()) {
        std::fprintf(stderr, "marks_bench: the listing did not read\n");
        return 1;
    }
    const kelbo::Instant first = listing.programmes.front().start;
    ListingModel model(std::move(listing));
    QSortFilterProxyModel view;
    view.setSourceModel(&model);
    view.setFilterKeyColumn(-1);
    view.setFilterCaseSensitivity(Qt::CaseInsensitive);
    view.setFilterFixedString(QStringLiteral("news"));
    const int shown = view.rowCount();

    std::vector<double> changedOnly, everyRow;
    kelbo::Instant now = first + std::chrono::hours(6);
    model.setNow(now);
    for (int round = 0; round < 5; ++round) {
        now += std::chrono::minutes(1);
        auto began = Clock::now();
        model.setNow(now);  // tells the rows that have just ended
        changedOnly.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());

        began = Clock::now();
        emit model.dataChanged(model.index(0, 0), model.index(model.rowCount() - 1, ListingModel::ColumnCount - 1));
        everyRow.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());
    }
    // A record action: the schedule (here 100 records on the listing's
    // first channel) read again and every row looked up in it.
    ScheduleSlots schedule;
    for (int row = 0, added = 0; row < model.rowCount() && added < 100; ++row) {
        const GuideProgramme p = model.programme(row);
        if (p.channelNumber != model.programme(0).channelNumber) continue;
        kelbo::ScheduleItem item;
        item.StartDate = p.start.formatDate();
        item.StartTime = p.start.formatTime();
        item.ChannelNumber = p.channelNumber;
        item.ChannelName = p.channelName;
        schedule.add(item);
        ++added;
    }
    std::vector<double> marking;
    for (int round = 0; round < 5; ++round) {
        const auto began = Clock::now();
        model.markScheduled(round % 2 ? ScheduleSlots{} : schedule);
        marking.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());
    }
    const auto range = [](const std::vector<double>& v) {
        return std::pair{*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
    };
    const auto [c0, c1] = range(changedOnly);
    const auto [e0, e1] = range(everyRow);
    std::printf("%d programmes, %d shown through the filter \"news\"\n", written, shown);
    std::printf("a minute passes, changed rows told: %8.2f ms (%.2f-%.2f)\n", median(changedOnly), c0, c1);
    std::printf("a minute passes, every row told:    %8.2f ms (%.2f-%.2f)\n", median(everyRow), e0, e1);
    std::printf("every row / changed rows: %.1fx\n", median(everyRow) / std::max(median(changedOnly), 1e-3));
    const auto [m0, m1] = range(marking);
    std::printf("marking 100 scheduled programmes (or clearing them): %.2f ms (%.2f-%.2f)\n", median(marking), m0, m1);
    return 0;
}
