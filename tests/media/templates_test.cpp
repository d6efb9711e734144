#include "recorder/media/gst/template_install.h"
#include "recorder/device/templates.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kelbo;
using kelbo::testing::RecordingMessageBoxes;
using kelbo::testing::TempDir;
using kelbo::testing::writeFile;

namespace {

namespace fs = std::filesystem;
using Ticked = std::vector<std::pair<std::string, bool>>;
using Names = std::vector<std::string>;

// A device registry key with the given precanned and user template files.
class TemplateFolders {
public:
    TemplateFolders(const Names& precanned, const Names& user) {
        fs::create_directories(precannedFolder());
        for (const auto& name : precanned) writeFile(precannedFolder() / (name + ".tmpl"), "");
        for (const auto& name : user) writeFile(userFolder() / (name + ".tmpl"), "");
    }
    std::string key() const { return templateKeyFor(dir_.path().string()); }
    fs::path precannedFolder() const { return key(); }
    fs::path userFolder() const { return templateRootFor(key()); }

private:
    TempDir dir_;
};

}  // namespace

TEST(TemplateFolders, KeyAndRootFollowTheRegistryLayout) {
    EXPECT_EQ(templateKeyFor("/base"), "/base/Device DVX/VideoTemplates/PrecannedTemplates");
    EXPECT_EQ(templateRootFor("/base/Device DVX/VideoTemplates/PrecannedTemplates"),
              "/base/Device DVX/VideoTemplates");
    EXPECT_EQ(templateRootFor("short"), "");
}

TEST(TemplateFolders, ListsTemplateFilesByNameOnly) {
    TemplateFolders folders({"b", "A", "c c"}, {});
    writeFile(folders.precannedFolder() / "notes.txt", "");
    writeFile(folders.precannedFolder() / "b.tmpl~", "");
    fs::create_directory(folders.precannedFolder() / "folder.tmpl");
    EXPECT_EQ(templateNamesIn(folders.key()), (Names{"A", "b", "c c"}));
    EXPECT_FALSE(templateNamesIn(folders.key() + "/missing"));
}

TEST(FillTemplateLists, WithoutTemplatesOnlyTheDefaultEntriesRemain) {
    TemplateFolders folders({}, {});
    RecordingMessageBoxes boxes;
    const auto lists = Fill_Template_Lists(folders.key(), "", boxes);
    ASSERT_TRUE(lists);
    EXPECT_TRUE(lists->templates.empty());
    EXPECT_EQ(lists->digiguideTemplates, (Ticked{{"DEFAULT Template", true}}));
    EXPECT_EQ(lists->detailTemplates, (Names{"DEFAULT Template"}));
    EXPECT_FALSE(lists->templatePosition);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(FillTemplateLists, PrecannedComeBeforeUserTemplatesAndDuplicatesStay) {
    TemplateFolders folders({"Zeta", "Alpha"}, {"Mine", "Alpha"});
    RecordingMessageBoxes boxes;
    const auto lists = Fill_Template_Lists(folders.key(), "none", boxes);
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->templates, (Names{"Alpha", "Zeta", "Alpha", "Mine"}));
    EXPECT_EQ(lists->digiguideTemplates, (Ticked{{"DEFAULT Template", true},
                                                 {"Alpha", false},
                                                 {"Zeta", false},
                                                 {"Alpha", false},
                                                 {"Mine", false}}));
    EXPECT_EQ(lists->detailTemplates, (Names{"DEFAULT Template", "Alpha", "Zeta", "Alpha", "Mine"}));
    EXPECT_FALSE(lists->templatePosition);
}

TEST(FillTemplateLists, PositionCountsBothPassesAndMatchesCase) {
    TemplateFolders folders({"DVD", "VCD"}, {"Mine", "Other"});
    RecordingMessageBoxes boxes;
    EXPECT_EQ(Fill_Template_Lists(folders.key(), "Other", boxes)->templatePosition, 3);
    EXPECT_EQ(Fill_Template_Lists(folders.key(), "DVD", boxes)->templatePosition, 0);
    EXPECT_FALSE(Fill_Template_Lists(folders.key(), "other", boxes)->templatePosition);
}

TEST(FillTemplateLists, TheLastOfDuplicateNamesGivesThePosition) {
    TemplateFolders folders({"Same"}, {"Same"});
    RecordingMessageBoxes boxes;
    EXPECT_EQ(Fill_Template_Lists(folders.key(), "Same", boxes)->templatePosition, 1);
}

TEST(FillTemplateLists, SkipsAnEntryNamedPrecannedTemplates) {
    TemplateFolders folders({"PrecannedTemplates", "A"}, {"PrecannedTemplates", "precannedtemplates"});
    RecordingMessageBoxes boxes;
    EXPECT_EQ(Fill_Template_Lists(folders.key(), "", boxes)->templates,
              (Names{"A", "precannedtemplates"}));
}

TEST(FillTemplateLists, AMissingFolderAbortsWithAMessage) {
    RecordingMessageBoxes boxes;
    TempDir empty;
    EXPECT_FALSE(Fill_Template_Lists(templateKeyFor(empty.path().string()), "", boxes));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Abort at 1");
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);

    // The parent is read as the second pass: a plain file there fails too.
    RecordingMessageBoxes again;
    TempDir odd;
    fs::create_directories(odd / "Device DVX");
    writeFile(odd / "Device DVX" / "VideoTemplates", "not a folder");
    EXPECT_FALSE(Fill_Template_Lists(templateKeyFor(odd.path().string()), "", again));
    ASSERT_EQ(again.shown.size(), 1u);
    EXPECT_EQ(again.shown[0].text, "Abort at 1");
}

TEST(EncodingTemplateFile, ReadsEveryKeyAndKeepsDefaultsForBadValues) {
    const auto t = parseEncodingTemplate(
        "# comment\r\nSize = SIF\r\nVideoBitRate=1150\nMaxVideoBitRate=1150\nGopLength=15\n"
        "BFrames=2\nAudioBitRate=224\nSampleRate=44100\nVideoCodec=MPEG1\nLayout=VCD\nUnknown=1\n");
    EXPECT_EQ(t.size, PictureSize::SIF);
    EXPECT_EQ(t.videoKbps, 1150);
    EXPECT_EQ(t.maxVideoKbps, 1150);
    EXPECT_EQ(t.gopLength, 15);
    EXPECT_EQ(t.bFrames, 2);
    EXPECT_EQ(t.audioKbps, 224);
    EXPECT_EQ(t.sampleRate, 44100);
    EXPECT_EQ(t.videoCodec, VideoCodec::Mpeg1);
    EXPECT_EQ(t.layout, StreamLayout::Vcd);
    EXPECT_EQ(parseEncodingTemplate("Layout=DVD\n").layout, StreamLayout::Dvd);

    const EncodingTemplate defaults;
    EXPECT_EQ(defaults.videoCodec, VideoCodec::Mpeg2);
    EXPECT_EQ(defaults.layout, StreamLayout::Program);
    const auto bad = parseEncodingTemplate(
        "Size=Huge\nVideoBitRate=12x\nGopLength=0\nBFrames=9\nAudioBitRate=100\nSampleRate=22050\n"
        "=5\nno equals sign\nVideoCodec=H264\nLayout=dvd\n");
    EXPECT_EQ(bad, defaults);
}

TEST(EncodingTemplateFile, APeakBelowTheAverageIsRaisedToIt) {
    const auto t = parseEncodingTemplate("VideoBitRate=8000\nMaxVideoBitRate=4000\n");
    EXPECT_EQ(t.maxVideoKbps, 8000);
}

TEST(EncodingTemplateFile, FindsPrecannedThenUserThenTheFirstPrecanned) {
    TemplateFolders folders({"B", "A"}, {"B", "Mine"});
    writeFile(folders.precannedFolder() / "B.tmpl", "VideoBitRate=4000\n");
    writeFile(folders.userFolder() / "B.tmpl", "VideoBitRate=5000\n");
    writeFile(folders.userFolder() / "Mine.tmpl", "VideoBitRate=2500\n");
    EXPECT_EQ(readEncodingTemplate(findTemplateFile(folders.key(), "B")).videoKbps, 4000);
    EXPECT_EQ(readEncodingTemplate(findTemplateFile(folders.key(), "Mine")).videoKbps, 2500);
    EXPECT_EQ(findTemplateFile(folders.key(), "Nope"), folders.precannedFolder() / "A.tmpl");
    EXPECT_EQ(findTemplateFile(folders.key(), ""), folders.precannedFolder() / "A.tmpl");

    TemplateFolders none({}, {});
    EXPECT_TRUE(findTemplateFile(none.key(), "B").empty());
}

TEST(ShippedTemplates, AreInstalledWhenMissingAndKeepTheValuesTheyHave) {
    TempDir base;
    ASSERT_GE(shippedTemplates().size(), 4u);
    ASSERT_TRUE(installPrecannedTemplates(base.path().string()));
    const fs::path folder = templateKeyFor(base.path().string());
    const auto names = templateNamesIn(folder.string());
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), shippedTemplates().size());
    EXPECT_EQ(names->front(), "DVD Full Quality");

    const auto dvd = readEncodingTemplate(folder / "DVD Full Quality.tmpl");
    EXPECT_EQ(dvd.size, PictureSize::D1);
    EXPECT_EQ(dvd.videoKbps, 6000);
    EXPECT_EQ(dvd.layout, StreamLayout::Dvd);
    const auto vcd = readEncodingTemplate(folder / "VCD Compatible.tmpl");
    EXPECT_EQ(vcd.size, PictureSize::SIF);
    EXPECT_EQ(vcd.videoCodec, VideoCodec::Mpeg1);
    EXPECT_EQ(vcd.layout, StreamLayout::Vcd);
    EXPECT_EQ(readEncodingTemplate(folder / "Long Play.tmpl").layout, StreamLayout::Program);

    // Templates from before the codec and layout keys keep their values and
    // gain only those two keys.
    writeFile(folder / "DVD Full Quality.tmpl", "VideoBitRate=7000");
    writeFile(folder / "VCD Compatible.tmpl", "Size=SIF\nVideoBitRate=1150\nSampleRate=44100\n");
    writeFile(folder / "DVD Half Resolution.tmpl", "Size=HalfD1\nLayout=Program\n");
    fs::remove(folder / "Long Play.tmpl");
    ASSERT_TRUE(installPrecannedTemplates(base.path().string()));
    const auto kept = readEncodingTemplate(folder / "DVD Full Quality.tmpl");
    EXPECT_EQ(kept.videoKbps, 7000);
    EXPECT_EQ(kept.layout, StreamLayout::Dvd);
    const auto oldVcd = readEncodingTemplate(folder / "VCD Compatible.tmpl");
    EXPECT_EQ(oldVcd.videoCodec, VideoCodec::Mpeg1);
    EXPECT_EQ(oldVcd.layout, StreamLayout::Vcd);
    EXPECT_EQ(oldVcd.videoKbps, 1150);
    const auto half = readEncodingTemplate(folder / "DVD Half Resolution.tmpl");
    EXPECT_EQ(half.layout, StreamLayout::Program);  // the user's choice
    EXPECT_EQ(half.maxVideoKbps, EncodingTemplate{}.maxVideoKbps);
    EXPECT_TRUE(fs::exists(folder / "Long Play.tmpl"));
    // A second start adds nothing more.
    const auto size = fs::file_size(folder / "VCD Compatible.tmpl");
    ASSERT_TRUE(installPrecannedTemplates(base.path().string()));
    EXPECT_EQ(fs::file_size(folder / "VCD Compatible.tmpl"), size);
}
