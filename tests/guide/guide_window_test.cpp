#include "xmltv_sample.h"

#include "guide_addin.h"
#include "guide_window.h"
#include "listing_model.h"
#include "series_rules.h"
#include "support/temp_dir.h"
#include "support/time_zone.h"

#include "common/settings_store.h"

#include "common/schedule_format.h"

#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTableView>
#include <QTest>
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
        open(kXmltvSample);
    }
    void open(const std::string& listing) {
        QByteArray bytes = QByteArray::fromStdString(listing);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        window.reset();
        window = std::make_unique<GuideWindow>(new ListingModel(XmltvReader().read(buffer)), *addin);
    }
    std::vector<ReadRecord> scheduled() const {
        std::istringstream in(readFile(dir / "schedule.txt"));
        ScheduleReader reader(in);
        std::vector<ReadRecord> records;
        while (auto record = reader.next()) records.push_back(*record);
        return records;
    }
    // The entry of the menu (or submenu) whose text is `text`.
    static QAction* action(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
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

// Also run at a scale factor of 2, where the offscreen screen is smaller
// than a netbook's 600 pixels.
TEST_F(GuideWindowTest, FitsOnASmallScreenFrameAndAll) {
    const QRect area = window->screen()->availableGeometry();
    window->show();
    EXPECT_LE(window->height() + 48, area.height());
    EXPECT_LE(window->width() + 16, area.width());
}

TEST_F(GuideWindowTest, ChoosingARecordEntryAppendsThroughTheAddin) {
    window->filterBox()->setText("news");
    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    const auto actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
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
    // The recorder keeps one line of description: the listing's own line
    // break does not cut it short.
    EXPECT_EQ(record->item.Description, "Headlines & weather. Director: Ann Lee");
    EXPECT_EQ(record->item.Template, "Half D1");
    EXPECT_FALSE(reader.next());
}

TEST_F(GuideWindowTest, TheMenuKeyAndShiftF10OpenTheSelectedProgrammesMenu) {
    window->show();
    window->view()->selectRow(1);
    window->view()->setFocus();
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QTest::keyClick(window->view(), key, modifiers);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << key;
        EXPECT_NE(action(menu, "Record with Half D1"), nullptr);
        menu->close();
        QApplication::processEvents();
    }
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
    EXPECT_EQ(record->item.Description,
              "Plot. StartBuffer  : 600 ----------BREAK---------- Complete     : Recorded");
    EXPECT_FALSE(reader.next());
    window.close();
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(GuideWindowTest, StartColumnIsAsWideAsItsText) {
    window->show();
    QTableView* view = window->view();
    for (const int column : {int(ListingModel::Start), int(ListingModel::Channel)}) {
        const QString text = viewCell(1, column);
        const int textWidth = view->fontMetrics().horizontalAdvance(text);
        EXPECT_GE(view->columnWidth(column), textWidth) << text.toStdString();
        EXPECT_GE(view->columnWidth(column), static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column)) << text.toStdString();
    }
}

TEST_F(GuideWindowTest, CreditsSubTitleAndEpisodeReachTheSchedule) {
    open(R"(<tv><channel id='c'><display-name>7</display-name><display-name>Seven</display-name></channel>
        <programme start='20030305200000' stop='20030305210000' channel='c'>
          <title>Detectives</title><sub-title>The Last Train</sub-title><desc>A body on the line.</desc>
          <credits><director>Ann Lee</director><actor>Cy Dunn</actor><actor>Di Egan</actor></credits>
          <category>Drama</category><category>Crime</category>
          <episode-num system='xmltv_ns'>2.5.0/1</episode-num></programme></tv>)");
    EXPECT_EQ(viewCell(0, ListingModel::Episode), "S3 E6 P1/1");
    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    action(menu.get(), "Record with DEFAULT Template")->trigger();
    const auto records = scheduled();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0].accepted) << records[0].problem;
    const ScheduleItem& item = records[0].item;
    EXPECT_EQ(item.Description, "The Last Train. A body on the line.");
    EXPECT_EQ(item.Director, "Ann Lee");
    EXPECT_EQ(item.Starring, "Cy Dunn, Di Egan");
    EXPECT_EQ(item.Category, "Drama");
    EXPECT_NE(item.ExtraInfo.find("S3 E6 P1/1"), std::string::npos) << item.ExtraInfo;
}

TEST_F(GuideWindowTest, SecondRunOfTheRepeatedHourIsRecordedWithItsTrueStart) {
    ScopedTimeZone london("Europe/London");
    open(R"(<tv><channel id='c'><display-name>4</display-name></channel>
        <programme start='20271031003000 +0000' stop='20271031010000 +0000' channel='c'><title>First</title><desc>One.</desc></programme>
        <programme start='20271031013000 +0000' stop='20271031020000 +0000' channel='c'><title>Second</title><desc>Two.</desc></programme>
        </tv>)");
    for (int row : {0, 1}) {
        std::unique_ptr<QMenu> menu(window->programmeMenu(row));
        action(menu.get(), "Record with DEFAULT Template")->trigger();
    }
    EXPECT_TRUE(window->statusText().contains("01:30 GMT")) << window->statusText().toStdString();
    const auto records = scheduled();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].item.StartTime, "01:30");
    EXPECT_EQ(records[1].item.StartTime, "01:30");
    EXPECT_EQ(records[0].item.Description, "One.");
    EXPECT_EQ(records[1].item.Description, "Starts 01:30 GMT. Two.");
}

TEST_F(GuideWindowTest, RecordSeriesStoresARuleAndRecordsEveryEpisodeOnce) {
    using namespace std::chrono;
    const Instant soon = floor<minutes>(system_clock::now()) + hours(2);
    std::string text = "<tv><channel id='a'><display-name>1</display-name><display-name>One</display-name></channel>"
                       "<channel id='b'><display-name>2</display-name><display-name>Two</display-name></channel>";
    text += xmltvProgramme("a", soon - hours(5), 60, "<title>Quiz</title>");  // over already
    for (int day = 0; day < 3; ++day) text += xmltvProgramme("a", soon + days(day), 30, "<title>Quiz</title>");
    text += xmltvProgramme("a", soon + days(3), 30, "<title>QUIZ</title><previously-shown/>");
    text += xmltvProgramme("b", soon + hours(1), 30, "<title>Quiz</title>");  // another channel
    text += xmltvProgramme("a", soon + hours(1), 30, "<title>Quiz Night</title>");
    text += "</tv>";
    open(text);
    // One episode is in the schedule already.
    {
        std::unique_ptr<QMenu> menu(window->programmeMenu(1));
        ASSERT_EQ(viewCell(1, ListingModel::Title), "Quiz");
        action(menu.get(), "Record with DEFAULT Template")->trigger();
    }
    ASSERT_EQ(scheduled().size(), 1u);

    std::unique_ptr<QMenu> menu(window->programmeMenu(1));
    QAction* seriesEntry = action(menu.get(), "Record series with");
    ASSERT_TRUE(seriesEntry && seriesEntry->menu());
    QMenu* series = seriesEntry->menu();
    ASSERT_EQ(series->actions().size(), 2);
    EXPECT_EQ(series->actions()[0]->text(), "DEFAULT Template");
    EXPECT_EQ(series->actions()[1]->text(), "Half D1");
    series->actions()[1]->trigger();
    EXPECT_TRUE(window->statusText().contains("3 programme(s) handed")) << window->statusText().toStdString();
    EXPECT_TRUE(window->statusText().contains("1 already")) << window->statusText().toStdString();

    const auto records = scheduled();
    ASSERT_EQ(records.size(), 4u);
    for (size_t i = 1; i < records.size(); ++i) {
        EXPECT_TRUE(records[i].accepted);
        EXPECT_EQ(records[i].item.ChannelNumber, "1");
        EXPECT_EQ(records[i].item.Template, "Half D1");
    }
    SettingsStore settings(dir / "config" / "kelbo" / "registry.ini");
    const auto rules = SeriesRuleStore(settings).rules();
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].title, "Quiz");
    EXPECT_EQ(rules[0].channel, "One");
    EXPECT_EQ(rules[0].entry, 1u);

    // Asking again, on another episode, appends nothing.
    ASSERT_EQ(viewCell(4, ListingModel::Title), "Quiz");
    ASSERT_EQ(viewCell(4, ListingModel::Channel), "1 One");
    std::unique_ptr<QMenu> again(window->programmeMenu(4));
    action(action(again.get(), "Record series with")->menu(), "Half D1")->trigger();
    EXPECT_EQ(scheduled().size(), 4u);
    EXPECT_EQ(SeriesRuleStore(settings).rules().size(), 1u);
}

// Guide text is put into the status line as it is: a title or channel name
// with "%4" or "%5" in it is not taken for the counts' places.
TEST_F(GuideWindowTest, ASeriesStatusShowsPercentSignsOfGuideTextAsTheyAre) {
    using namespace std::chrono;
    const Instant soon = floor<minutes>(system_clock::now()) + hours(2);
    std::string text =
        "<tv><channel id='a'><display-name>1</display-name><display-name>Two%5</display-name></channel>";
    text += xmltvProgramme("a", soon, 30, "<title>100%4 Fun</title>");
    text += "</tv>";
    open(text);
    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    action(action(menu.get(), "Record series with")->menu(), "DEFAULT Template")->trigger();
    EXPECT_EQ(window->statusText().toStdString(),
              "Series rule stored for \"100%4 Fun\" on Two%5: 1 programme(s) handed to the add-in, 0 already in "
              "the schedule.");
}

}  // namespace

// Listing text that looks like markup is shown as it is: in the status
// line, the description's tooltip and the add-in's message box.
TEST_F(GuideWindowTest, MarkupInListingTextIsShownAsItIs) {
    open(R"(<tv><channel id="c"><display-name>4</display-name></channel>
<programme start="20030305210000 +0000" stop="20030305220000 +0000" channel="c">
<title>&lt;a href="http://example.net/"&gt;Click&lt;/a&gt; &amp;amp;</title>
<desc>&lt;b&gt;Bold&lt;/b&gt; plot
&lt;img src="file:///etc/passwd"&gt;</desc>
</programme></tv>)");
    std::unique_ptr<QMenu> menu(window->programmeMenu(0));
    ASSERT_FALSE(menu->actions().isEmpty());
    menu->actions()[0]->trigger();
    auto* status = window->findChild<QLabel*>();
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->text().contains(R"(<a href="http://example.net/">Click</a> &amp;)")) << status->text().toStdString();
    EXPECT_EQ(status->textFormat(), Qt::PlainText);

    // What a tooltip shows of the description: its text, tags and all.
    const QString tip = window->view()->model()->index(0, ListingModel::Description).data(Qt::ToolTipRole).toString();
    QTextDocument shown;
    if (Qt::mightBeRichText(tip)) shown.setHtml(tip);
    else shown.setPlainText(tip);
    EXPECT_EQ(shown.toPlainText().simplified(), R"(<b>Bold</b> plot <img src="file:///etc/passwd">)")
        << tip.toStdString();

    Qt::TextFormat boxFormat = Qt::AutoText;
    QString boxText;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxFormat = box->textFormat();
            boxText = box->text();
            box->close();
        }
    });
    window->showAddinMessage("Clash with <a href=\"http://example.net/\">Click</a>");
    EXPECT_EQ(boxText, R"(Clash with <a href="http://example.net/">Click</a>)");
    EXPECT_EQ(boxFormat, Qt::PlainText);
}
