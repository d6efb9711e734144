#include "guide_addin.h"
#include "guide_window.h"
#include "listing_model.h"
#include "schedule_slots.h"
#include "series_apply.h"
#include "series_menu.h"
#include "series_rules.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"

#include "common/clock.h"
#include "common/settings_store.h"

#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fcntl.h>
#include <future>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::guide;
using namespace kelbo::testing;
using namespace std::chrono;

namespace {

// A listing as a Russian grabber publishes it: channels named but not
// numbered, one name with a quality word, Cyrillic titles, and the evening
// news at the same time on every channel.
const std::string kEvening = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tv SYSTEM "xmltv.dtd">
<tv generator-info-name="WebGrab+Plus/w MDB &amp; REX Postprocess -- version V5.2" generator-info-url="http://www.webgrabplus.com">
  <channel id="Perviy.ru">
    <display-name lang="ru">Первый канал HD</display-name>
    <icon src="https://example.com/logos/perviy.png" />
    <url>https://www.1tv.ru</url>
  </channel>
  <channel id="RossiyaK.ru">
    <display-name lang="ru">Россия К</display-name>
  </channel>
  <channel id="BBCWorld.uk">
    <display-name lang="en">BBC World News</display-name>
  </channel>
  <programme start="20261208190000 +0300" stop="20261208193000 +0300" channel="Perviy.ru">
    <title lang="ru">Вечерние новости</title>
    <category lang="ru">Новости</category>
  </programme>
  <programme start="20261208190000 +0300" stop="20261208193000 +0300" channel="RossiyaK.ru">
    <title lang="ru">Новости культуры</title>
    <desc lang="ru">Главные события дня.</desc>
  </programme>
  <programme start="20261208160000 +0000" stop="20261208163000 +0000" channel="BBCWorld.uk">
    <title lang="en">BBC News</title>
  </programme>
  <programme start="20261208193000 +0300" stop="20261208210000 +0300" channel="RossiyaK.ru">
    <title lang="ru">Линия жизни</title>
  </programme>
  <programme start="20261208210000 +0300" stop="20261208214500 +0300" channel="Perviy.ru">
    <title lang="ru">Время</title>
  </programme>
  <programme start="20261208210000 +0300" stop="20261208220000 +0300" channel="BBCWorld.uk">
    <title lang="en">World Business Report</title>
  </programme>
</tv>
)";

// 19:00 in Moscow, when the evening news begins.
const Instant kNewsStart = sys_days{2026y / 12 / 8} + 16h;

// Records of the listing's "Новости культуры" and "Время" as a user's
// schedule holds them: CR LF lines, one written by the guide, one typed
// in by hand with a short date and the channel's name without "HD", a
// recording of another evening and a record the recorder refuses.
std::string usersSchedule(const std::string& numberK, const std::string& number1) {
    return "ProgrammeName: Новости культуры\r\nStartTime    : 19:00\r\nStartDate    : 08-12-2026\r\n"
           "ChannelNumber: " + numberK + "\r\nChannelName  : Россия К\r\nDuration     : 30\r\n"
           "Category     : \r\nReminderID   : 0\r\nSmartSearchID: 0\r\nFavouriteID  : 0\r\n"
           "Description  : Главные события дня.\r\nTemplate     : DEFAULT Template\r\n----------BREAK----------\r\n"
           "ProgrammeName: Время\r\nStartDate    : 8-12-2026\r\nStartTime    : 21:00\r\nDuration     : 45\r\n"
           "ChannelName  : ПЕРВЫЙ КАНАЛ\r\nChannelNumber: " + number1 + "\r\n----------BREAK----------\r\n"
           "ProgrammeName: Время\r\nStartTime    : 21:00\r\nStartDate    : 07-12-2026\r\nChannelNumber: " + number1 +
           "\r\nChannelName  : Первый канал\r\nDuration     : 45\r\nComplete     : Recorded\r\n----------BREAK----------\r\n"
           "ProgrammeName: half a record\r\nStartTime    : 19:00\r\n----------BREAK----------\r\n";
}

class GuideMarksTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        std::filesystem::create_directories(dir / "config" / "kelbo");
        writeFile(dir / "config" / "kelbo" / "registry.ini",
                  "[Software\\VB and VBA Program Settings\\Kelbo\\Defaults]\r\nScheduleFile=" +
                      (dir / "schedule.txt").string() +
                      "\r\n[Software\\VB and VBA Program Settings\\Kelbo\\DG Templates]\r\n"
                      "DEFAULT Template=1\r\nHalf D1=1\r\n");
        std::string error;
        addin = GuideAddin::load(KELBO_ADDIN_PATH, error);
        ASSERT_TRUE(addin) << error;
    }
    void TearDown() override {
        window.reset();
        addin.reset();
        unsetenv("XDG_CONFIG_HOME");
    }
    void open(const std::string& listing = kEvening) {
        QByteArray bytes = QByteArray::fromStdString(listing);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        window.reset();
        window = std::make_unique<GuideWindow>(new ListingModel(XmltvReader().read(buffer)), *addin, nullptr, &clock);
    }
    QAbstractItemModel* rows() const { return window->view()->model(); }
    QString cell(int row, int column, int role = Qt::DisplayRole) const {
        return rows()->index(row, column).data(role).toString();
    }
    // The view's row of `title` on the channel shown as `channel`.
    int row(const QString& title, const QString& channel) const {
        for (int r = 0; r < rows()->rowCount(); ++r)
            if (cell(r, ListingModel::Title) == title && cell(r, ListingModel::Channel).endsWith(channel)) return r;
        ADD_FAILURE() << title.toStdString() << " on " << channel.toStdString();
        return -1;
    }
    std::string numberOf(const QString& channel) const {
        const QString shown = cell(row(channel == "Россия К" ? "Новости культуры" : "Время", channel), ListingModel::Channel);
        return shown.left(shown.indexOf(' ')).toStdString();
    }
    static QAction* action(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    std::vector<SeriesRule> storedRules() const {
        SettingsStore settings(dir / "config" / "kelbo" / "registry.ini");
        return SeriesRuleStore(settings).rules();
    }

    ScopedTimeZone moscow{"Europe/Moscow"};
    TempDir dir;
    FixedClock clock{kNewsStart - hours(3)};
    std::unique_ptr<GuideAddin> addin;
    std::unique_ptr<GuideWindow> window;
};

TEST_F(GuideMarksTest, ProgrammesTheSchedulesHoldsAreMarkedOnTheirChannelOnly) {
    open();
    const std::string numberK = numberOf("Россия К"), number1 = numberOf("Первый канал HD");
    for (int r = 0; r < rows()->rowCount(); ++r) EXPECT_EQ(cell(r, ListingModel::Status), "") << r;
    writeFile(dir / "schedule.txt", usersSchedule(numberK, number1));
    open();

    const int culture = row("Новости культуры", "Россия К"), vremya = row("Время", "Первый канал HD");
    EXPECT_EQ(cell(culture, ListingModel::Status), "Scheduled");
    EXPECT_EQ(cell(culture, ListingModel::Status, Qt::ToolTipRole), "The schedule holds this programme.");
    EXPECT_EQ(cell(vremya, ListingModel::Status), "Scheduled");
    // The same start on the other channels is another programme.
    for (const auto& [title, channel] : {std::pair{"Вечерние новости", "Первый канал HD"},
                                         std::pair{"BBC News", "BBC World News"},
                                         std::pair{"World Business Report", "BBC World News"},
                                         std::pair{"Линия жизни", "Россия К"}})
        EXPECT_EQ(cell(row(title, channel), ListingModel::Status), "") << title;
    // Typing the word finds what is scheduled.
    window->filterBox()->setText("scheduled");
    EXPECT_EQ(rows()->rowCount(), 2);
}

TEST_F(GuideMarksTest, RecordingFromTheWindowMarksTheRowAtOnce) {
    open();
    const int r = row("World Business Report", "BBC World News");
    std::unique_ptr<QMenu> menu(window->programmeMenu(r));
    action(menu.get(), "Record with DEFAULT Template")->trigger();
    EXPECT_EQ(cell(r, ListingModel::Status), "Scheduled");
    EXPECT_EQ(cell(row("Время", "Первый канал HD"), ListingModel::Status), "");
}

TEST_F(GuideMarksTest, EndedProgrammesSayItAndAreGreyed) {
    clock.set(kNewsStart + minutes(40));
    open();
    const QColor grey = window->view()->palette().color(QPalette::Disabled, QPalette::Text);
    for (const auto& [title, channel] : {std::pair{"Вечерние новости", "Первый канал HD"},
                                         std::pair{"Новости культуры", "Россия К"},
                                         std::pair{"BBC News", "BBC World News"}}) {
        const int r = row(title, channel);
        EXPECT_EQ(cell(r, ListingModel::Status), "Ended") << title;
        EXPECT_EQ(cell(r, ListingModel::Status, Qt::ToolTipRole), "This programme has ended.");
        for (const int column : {int(ListingModel::Title), int(ListingModel::Start)})
            EXPECT_EQ(rows()->index(r, column).data(Qt::ForegroundRole).value<QBrush>().color(), grey) << title;
    }
    const int running = row("Линия жизни", "Россия К");
    EXPECT_EQ(cell(running, ListingModel::Status), "");
    EXPECT_FALSE(rows()->index(running, ListingModel::Title).data(Qt::ForegroundRole).isValid());

    // As the clock passes its end, it ends too; one scheduled says both.
    writeFile(dir / "schedule.txt", usersSchedule(numberOf("Россия К"), numberOf("Первый канал HD")));
    clock.set(kNewsStart + hours(2));
    window->refreshMarks();
    EXPECT_EQ(cell(running, ListingModel::Status), "Ended");
    EXPECT_EQ(cell(row("Новости культуры", "Россия К"), ListingModel::Status), "Scheduled, ended");
    EXPECT_EQ(cell(row("Время", "Первый канал HD"), ListingModel::Status), "Scheduled");
}

TEST_F(GuideMarksTest, TheSeriesMenuListsAndRemovesStoredRules) {
    open();
    SeriesMenu* series = window->seriesMenu();
    ASSERT_NE(series, nullptr);
    ASSERT_EQ(series->actions().size(), 1);
    EXPECT_EQ(series->actions()[0]->text(), "(no series rules)");
    EXPECT_FALSE(series->actions()[0]->isEnabled());

    std::unique_ptr<QMenu> menu(window->programmeMenu(row("Линия жизни", "Россия К")));
    action(action(menu.get(), "Record series with")->menu(), "Half D1")->trigger();
    ASSERT_EQ(storedRules().size(), 1u);
    const QString label = "\"Линия жизни\" on \"Россия К\" with Half D1";
    QAction* listed = action(series, label);
    ASSERT_TRUE(listed && listed->menu()) << series->actions()[0]->text().toStdString();

    // One the command line adds shows when the menu opens; an ampersand in
    // its title is no mnemonic.
    {
        SettingsStore settings(dir / "config" / "kelbo" / "registry.ini");
        ASSERT_TRUE(SeriesRuleStore(settings).add({"Tom & Jerry", "", 0, true}));
    }
    emit series->aboutToShow();
    ASSERT_EQ(series->actions().size(), 2);
    EXPECT_EQ(series->actions()[1]->text(), "\"Tom && Jerry\" on any channel with DEFAULT Template, new episodes only");

    action(action(series, label)->menu(), "Remove")->trigger();
    const auto left = storedRules();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].title, "Tom & Jerry");
    EXPECT_EQ(window->statusText(), "Series rule removed: " + label);
    ASSERT_EQ(series->actions().size(), 1);
    EXPECT_EQ(action(series, label), nullptr);
}

TEST_F(GuideMarksTest, ListingTextIsShownAsPlainText) {
    const std::string description = "<img src=\"file:///etc/passwd\"> <a href=\"http://x\">Tom & Jerry</a> <b>bold</b>";
    open(R"(<tv><channel id="c"><display-name>Cartoons</display-name></channel>
<programme start="20261208200000 +0300" stop="20261208203000 +0300" channel="c">
<title>&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;</title>
<desc>&lt;img src="file:///etc/passwd"&gt; &lt;a href="http://x"&gt;Tom &amp; Jerry&lt;/a&gt; &lt;b&gt;bold&lt;/b&gt;</desc>
</programme></tv>)");
    QTextDocument shown;
    shown.setHtml(cell(0, ListingModel::Description, Qt::ToolTipRole));
    EXPECT_EQ(shown.toPlainText().toStdString(), description);

    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    action(menu.get(), "Record with DEFAULT Template")->trigger();
    ASSERT_TRUE(window->statusText().contains("<b>Tom & Jerry</b>")) << window->statusText().toStdString();
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text() != window->statusText()) continue;
        EXPECT_TRUE(label->textFormat() == Qt::PlainText ||
                        (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text())));
    }
}

// A listing of weeks in a filtered view: each minute only the rows that
// have just ended are told again, and a record only its own row.
TEST(ListingModelMarks, OnlyRowsWhoseMarkChangesAreReported) {
    ScopedTimeZone moscow("Europe/Moscow");
    QByteArray bytes = QByteArray::fromStdString(kEvening);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ListingModel model(XmltvReader().read(buffer));
    model.setNow(kNewsStart);
    std::vector<int> told;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&told](const QModelIndex& from, const QModelIndex& to) {
        for (int r = from.row(); r <= to.row(); ++r) told.push_back(r);
    });
    model.setNow(kNewsStart + minutes(31));  // the three programmes of 19:00 end
    EXPECT_EQ(told.size(), 3u);
    for (const int r : told) EXPECT_TRUE(model.ended(r)) << r;
    told.clear();
    model.setNow(kNewsStart + minutes(32));
    EXPECT_TRUE(told.empty());

    ScheduleItem item;
    item.StartDate = "08-12-2026";
    item.StartTime = "21:00";
    item.ChannelNumber = model.programme(5).channelNumber;
    item.ChannelName = "bbc world news";
    ScheduleSlots schedule;
    schedule.add(item);
    ASSERT_EQ(model.cell(5, ListingModel::Title), "World Business Report");
    model.markScheduled(schedule);
    EXPECT_EQ(told, std::vector<int>{5});
    EXPECT_EQ(model.cell(5, ListingModel::Status), "Scheduled");
}

// Someone put a fifo where the schedule file should be: reading it gives
// nothing at once rather than waiting for a writer.
TEST(ScheduleRead, AFifoAtTheSchedulePathGivesNoRecordsWithoutWaiting) {
    TempDir dir;
    const std::string fifo = (dir / "schedule.txt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto keys = std::async(std::launch::async, [&fifo] { return scheduledKeys(fifo); });
    auto held = std::async(std::launch::async, [&fifo] { return ScheduleSlots::read(fifo).empty(); });
    const bool keysInTime = keys.wait_for(seconds(5)) == std::future_status::ready;
    const bool slotsInTime = held.wait_for(seconds(5)) == std::future_status::ready;
    // Free a reader still waiting, so that the test ends either way.
    for (int i = 0; i < 2 && !(keysInTime && slotsInTime); ++i)
        if (const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) ::close(fd);
    EXPECT_TRUE(keysInTime);
    EXPECT_TRUE(slotsInTime);
    EXPECT_TRUE(keys.get().empty());
    EXPECT_TRUE(held.get());
}

}  // namespace
