// The guide host against listings and playlists shaped like the ones users
// download: channels known only by name, the same start times on every
// channel, non-Latin texts, sub-titles, gzip, real-world playlists.
#include "real_guide_inputs.h"
#include "xmltv_sample.h"

#include "support/temp_dir.h"
#include "xmltv_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace kelbo;
using namespace kelbo::guide;
using namespace kelbo::testing;
using namespace std::chrono;

namespace {

Instant utc(int y, unsigned m, unsigned d, int h, int min, int s = 0) {
    return time_point_cast<Instant::duration>(sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min} +
                                              seconds{s});
}

const Instant kFrom = utc(2024, 3, 1, 17, 30);

void writeGzip(const std::filesystem::path& file, const std::string& text) {
    const gzFile out = gzopen(file.c_str(), "wb");
    ASSERT_TRUE(out);
    ASSERT_EQ(gzwrite(out, text.data(), static_cast<unsigned>(text.size())), int(text.size()));
    ASSERT_EQ(gzclose(out), Z_OK);
}

// Public guides are published gzipped: guide.xml.gz.
TEST(GuideGzipListing, ReadsGzippedListingsByTheirFirstBytes) {
    TempDir dir;
    const std::string text = realGuide(kFrom);
    writeFile(dir / "guide.xml", text);
    writeGzip(dir / "guide.xml.gz", text);
    writeGzip(dir / "guide-named-plain.xml", text);  // compressed, whatever its name says
    const XmltvListing plain = XmltvReader().readFile(QString::fromStdString((dir / "guide.xml").string()));
    ASSERT_TRUE(plain.error.isEmpty()) << plain.error.toStdString();
    for (const char* name : {"guide.xml.gz", "guide-named-plain.xml"}) {
        const XmltvListing listing = XmltvReader().readFile(QString::fromStdString((dir / name).string()));
        ASSERT_TRUE(listing.error.isEmpty()) << name << ": " << listing.error.toStdString();
        ASSERT_EQ(listing.programmes.size(), plain.programmes.size()) << name;
        for (size_t i = 0; i < plain.programmes.size(); ++i) {
            EXPECT_EQ(listing.text(listing.programmes[i].title), plain.text(plain.programmes[i].title));
            EXPECT_EQ(listing.text(listing.programmes[i].description), plain.text(plain.programmes[i].description));
            EXPECT_EQ(listing.channelNumber(listing.programmes[i]), plain.channelNumber(plain.programmes[i]));
        }
    }

    // A download cut short is refused with a reason, not read as a
    // shorter listing.
    const std::string whole = readFile(dir / "guide.xml.gz");
    writeFile(dir / "cut.xml.gz", whole.substr(0, whole.size() / 2));
    const XmltvListing cut = XmltvReader().readFile(QString::fromStdString((dir / "cut.xml.gz").string()));
    EXPECT_TRUE(cut.error.contains("cut short")) << cut.error.toStdString();
    EXPECT_TRUE(cut.programmes.empty());
    const XmltvListing missing = XmltvReader().readFile(QString::fromStdString((dir / "none.xml.gz").string()));
    EXPECT_TRUE(missing.error.startsWith("cannot open")) << missing.error.toStdString();
    const XmltvListing folder = XmltvReader().readFile(QString::fromStdString(dir.path().string()));
    EXPECT_FALSE(folder.error.isEmpty());
}

}  // namespace
