#include "xmltv_sample.h"

#include "guide_addin.h"
#include "guide_window.h"
#include "listing_model.h"
#include "support/temp_dir.h"

#include "common/schedule_format.h"

#include <QBuffer>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <gtest/gtest.h>

#include <sstream>

using namespace kelbo;
using namespace kelbo::guide;
using namespace kelbo::testing;

namespace {

// The guide window over the sample listing with the real add-in, as a new
// user meets it: pick a programme, open its menu, choose an entry.
class GuideWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" +
                      (dir / "schedule.txt").string() +
                      "\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\n"
                      "DEFAULT Template=1\nHalf D1=1\n");
        std::string error;
        addin = GuideAddin::load(KELBO_ADDIN_PATH, error);
        ASSERT_TRUE(addin) << error;
        QByteArray bytes = QByteArray::fromStdString(kXmltvSample);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        window = std::make_unique<GuideWindow>(new ListingModel(XmltvReader().read(buffer)), *addin);
    }
    void TearDown() override {
        window.reset();
        addin.reset();
        unsetenv("XDG_CONFIG_HOME");
    }
    QString viewCell(int row, int column) const {
        return window->view()->model()->index(row, column).data().toString();
    }

    TempDir dir;
    std::unique_ptr<GuideAddin> addin;
    std::unique_ptr<GuideWindow> window;
};

TEST_F(GuideWindowTest, ListsByStartAndFilters) {
    ASSERT_EQ(window->view()->model()->rowCount(), 2);
    EXPECT_EQ(viewCell(0, ListingModel::Title), "Early Show");
    EXPECT_EQ(viewCell(1, ListingModel::Title), "Morning News");
    EXPECT_EQ(viewCell(1, ListingModel::Start), "05-03-2003 07:05");
    EXPECT_EQ(viewCell(1, ListingModel::Duration), "90");
    window->filterBox()->setText("channel four");
    ASSERT_EQ(window->view()->model()->rowCount(), 1);
    EXPECT_EQ(viewCell(0, ListingModel::Title), "Morning News");
}

TEST_F(GuideWindowTest, ChoosingARecordEntryAppendsThroughTheAddin) {
    window->filterBox()->setText("news");
    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "Record with DEFAULT Template");
    EXPECT_EQ(actions[1]->text(), "Record with Half D1");
    actions[1]->trigger();
    EXPECT_TRUE(window->statusText().contains("Morning News")) << window->statusText().toStdString();

    std::istringstream in(readFile(dir / "schedule.txt"));
    ScheduleReader reader(in);
    const auto record = reader.next();
    ASSERT_TRUE(record && record->accepted) << (record ? record->problem : "no record");
    EXPECT_EQ(record->item.ProgrammeName, "Morning News");
    EXPECT_EQ(record->item.StartDate, "05-03-2003");
    EXPECT_EQ(record->item.StartTime, "07:05");
    EXPECT_EQ(record->item.Duration, "90");
    EXPECT_EQ(record->item.ChannelNumber, "4");
    EXPECT_EQ(record->item.ChannelName, "Channel Four");
    EXPECT_EQ(record->item.Category, "News");
    EXPECT_EQ(record->item.Description, "Headlines & weather.");
    EXPECT_EQ(record->item.Director, "Ann Lee");
    EXPECT_EQ(record->item.Template, "Half D1");
    EXPECT_FALSE(reader.next());
}

// A listing whose title and description carry encoded line breaks, as any
// XMLTV file may: they reach the schedule as one record with its own fields.
TEST(GuideWindowInjection, ListingTextCannotInjectFieldsOrRecords) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::filesystem::create_directories(dir / "config" / "kelbo");
    writeFile(dir / "config" / "kelbo" / "registry.ini",
              "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\nScheduleFile=" +
                  (dir / "schedule.txt").string() + "\n");
    std::string error;
    auto addin = GuideAddin::load(KELBO_ADDIN_PATH, error);
    ASSERT_TRUE(addin) << error;
    QByteArray bytes(R"(<tv><channel id="c"><display-name>4</display-name></channel>
<programme start="20030305210000 +0000" stop="20030305220000 +0000" channel="c">
<title>Evil&#13;&#10;FileName     : /srv/outside/evil.mpg</title>
<category>Film&#10;----------BREAK----------</category>
<desc>Plot.&#13;&#10;StartBuffer  : 600&#10;----------BREAK----------&#10;Complete     : Recorded</desc>
</programme></tv>)");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    GuideWindow window(new ListingModel(XmltvReader().read(buffer)), *addin);
    std::unique_ptr<QMenu> menu(window.programmeMenu(0));
    ASSERT_FALSE(menu->actions().isEmpty());
    menu->actions()[0]->trigger();

    std::istringstream in(readFile(dir / "schedule.txt"));
    ScheduleReader reader(in);
    const auto record = reader.next();
    ASSERT_TRUE(record && record->accepted) << (record ? record->problem : "no record");
    EXPECT_EQ(record->item.ProgrammeName, "Evil  FileName     : /srv/outside/evil.mpg");
    EXPECT_EQ(record->item.Category, "Film ----------BREAK----------");
    EXPECT_EQ(record->item.FileName, "");
    EXPECT_EQ(record->item.StartBuffer, "");
    EXPECT_EQ(record->item.Complete, "");
    EXPECT_EQ(record->item.Description, "Plot.");
    EXPECT_FALSE(reader.next());
    window.close();
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
