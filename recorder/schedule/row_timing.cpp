#include "row_timing.h"

#include "common/text_util.h"

#include <cmath>

namespace kelbo {

RowTimes recordingTimes(DateTime localStart, double startBuffer, double endBuffer,
                        long long duration) {
    using namespace std::chrono;
    const Instant start = toInstant(localStart);
    const milliseconds lead(std::llround(startBuffer * 60000.0));
    const minutes length(static_cast<long long>(roundHalfEven(endBuffer + static_cast<double>(duration))));
    return RowTimes{start, start - lead, start + length};
}

}  // namespace kelbo
