// Guide text wherever the windows show it (the programme's panel and its
// tooltip, the tray's tip, the preview's caption): markup,
// entities and Cyrillic are shown as written, and no file that an <img> in
// a title or a channel name names is ever opened.
#include "main_window_rig.h"

#include "recorder/ui/elided_label.h"
#include "recorder/ui/keyed_status_bar.h"
#include "recorder/ui/system_tray.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTextDocument>
#include <QToolTip>

#include <sys/inotify.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;

namespace {

// What a user sees of `text` where it is shown in `format`.
std::string seen(const QString& text, Qt::TextFormat format) {
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text))) return text.toStdString();
    struct Inert : QTextDocument {
        QVariant loadResource(int, const QUrl&) override { return {}; }
    } document;
    document.setHtml(text);
    return document.toPlainText().toStdString();
}

struct Hostile {
    std::string title, channel;
};
void PrintTo(const Hostile& h, std::ostream* out) { *out << h.title << " on " << h.channel; }

class GuideTextShownTest : public MainWindowTest, public ::testing::WithParamInterface<Hostile> {
protected:
    // An image a tag may name: opening it shows that markup was laid out.
    std::filesystem::path image = dir / "image.png";
    int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::string named(std::string text) const {
        for (size_t at; (at = text.find("IMAGE")) != std::string::npos;) text.replace(at, 5, image.string());
        return text;
    }
    bool imageOpened() const {
        char events[4096];
        return ::read(watch, events, sizeof events) > 0;
    }
    ~GuideTextShownTest() override { ::close(watch); }
};

}  // namespace

TEST_P(GuideTextShownTest, AsWrittenAndNothingItNamesIsOpened) {
    QImage(8, 400, QImage::Format_RGB32).save(QString::fromStdString(image.string()));
    ASSERT_GE(::inotify_add_watch(watch, image.c_str(), IN_OPEN), 0);
    const QString title = QString::fromStdString(named(GetParam().title));
    GuideRecord record = programme(title.toStdString(), kNow.plusMinutes(10), 30);
    record.channelName = named(GetParam().channel);
    writeFile(dir / "KelboSchedule.txt", record.text());
    ui::MainWindow& w = start();
    w.resize(900, 400);
    clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    w.Timer1_Timer();

    auto* panel = w.statusPanels().findChild<ui::ElidedLabel*>("pnlProgramme");
    ASSERT_NE(panel, nullptr);
    const std::string full = panel->text().toStdString();
    EXPECT_EQ(full.rfind(title.toStdString() + " on " + record.channelName + " ends in ", 0), 0u) << full;
    EXPECT_EQ(seen(panel->text(), panel->textFormat()), full);
    EXPECT_LT(panel->sizeHint().height(), 100) << "laid out with the image";
    w.grab();
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), panel->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(panel, &hover);
    EXPECT_EQ(seen(QToolTip::text(), Qt::AutoText), full);

    w.tray().setTip(full);
    w.tray().update();
    EXPECT_EQ(seen(w.tray().shownToolTip(), Qt::AutoText), "Kelbo: " + full);
    w.preview().setCaption(full);
    const auto* caption = w.preview().findChild<QLabel*>("previewCaption");
    EXPECT_EQ(seen(caption->text(), caption->textFormat()), full);

    EXPECT_FALSE(imageOpened()) << "markup was laid out as rich text";
}

INSTANTIATE_TEST_SUITE_P(Titles, GuideTextShownTest,
                         ::testing::Values(Hostile{R"(<img src="IMAGE">)", "Main"},
                                           Hostile{"<b>News</b> at  six", R"(<img src="IMAGE"> One)"},
                                           Hostile{"Tom &amp; Jerry", "BBC &lt;1&gt;"},
                                           Hostile{"Tom &lt;3 Jerry", "<qt>Two</qt>"},
                                           Hostile{"Новости <i>дня</i>", "Первый"}));
