// Feeds arbitrary bytes to the XMLTV reader as a listing file. Besides not
// crashing, what it keeps must hold together: programmes in order of start,
// each on a channel the listing has, of no negative length (a stop equal
// to the start is kept as a programme of no length), and texts no
// longer than the limits.
#include "xmltv_reader.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace kelbo;
using namespace kelbo::guide;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // The fuzzer's own buffer, not a copy: it is exactly the input's size.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    XmltvLimits limits;
    limits.maxTitleBytes = 40;
    limits.maxDescriptionBytes = 60;
    const XmltvListing listing = XmltvReader(limits).read(buffer);
    if (!listing.error.isEmpty() && !listing.programmes.empty()) return 0;  // kept up to the fault
    for (size_t i = 0; i < listing.programmes.size(); ++i) {
        const XmltvProgramme& p = listing.programmes[i];
        if (i > 0 && p.start < listing.programmes[i - 1].start) std::abort();
        if (p.channel >= listing.channels.size() || p.durationMinutes < 0) std::abort();
        if (listing.text(p.title).size() > limits.maxTitleBytes ||
            listing.text(p.description).size() > limits.maxDescriptionBytes)
            std::abort();
        (void)listing.channelName(p);
        (void)listing.channelNumber(p);
        (void)listing.text(p.episode);
    }
    (void)episodeFromXmltvNs(std::string_view(bytes.constData(), std::min<size_t>(size, 40)));
    return 0;
}
