// The guide window's marks on a large listing behind a filtered view, as the
// window has it: each minute the clock moves on, and what it costs when the
// model tells the view only the rows whose "Ended" changed, beside telling
// it every row. Both run in one process, alternately, in several rounds;
// printed: medians with min-max and their ratio.
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
    const auto range = [](const std::vector<double>& v) {
        return std::pair{*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end())};
    };
    const auto [c0, c1] = range(changedOnly);
    const auto [e0, e1] = range(everyRow);
    std::printf("%d programmes, %d shown through the filter \"news\"\n", written, shown);
    std::printf("a minute passes, changed rows told: %8.2f ms (%.2f-%.2f)\n", median(changedOnly), c0, c1);
    std::printf("a minute passes, every row told:    %8.2f ms (%.2f-%.2f)\n", median(everyRow), e0, e1);
    std::printf("every row / changed rows: %.1fx\n", median(everyRow) / std::max(median(changedOnly), 1e-3));
    return 0;
}
