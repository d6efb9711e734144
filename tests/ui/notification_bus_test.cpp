// Without a tray icon shown, a notice goes to the desktop's notification
// service over D-Bus (a private bus with a fake service here), unanswered.
#include "recorder/ui/system_tray.h"
#include "support/program_process.h"
#include "support/temp_dir.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace kelbo::testing;
using kelbo::ui::SystemTray;

namespace {

// Stands in for the desktop's notification service: remembers each call.
class FakeNotificationService : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        calls.push_back(message);
        connection.send(message.createReply(QVariantList{7u}));
        return true;
    }
    std::vector<QDBusMessage> calls;
};

}  // namespace

TEST(DesktopNotifications, GoToTheNotificationServiceWhenNoTrayIconIsShown) {
    TempDir dir;
    const std::string address = "unix:path=" + (dir / "bus").string();
    BackgroundProgram daemon("/usr/bin/dbus-daemon", {"--session", "--nofork", "--address=" + address}, {});
    for (int i = 0; i < 50 && !std::filesystem::exists(dir / "bus"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(std::filesystem::exists(dir / "bus")) << "dbus-daemon did not start";

    {
        QDBusConnection service = QDBusConnection::connectToBus(QString::fromStdString(address), "fake-notifications");
        ASSERT_TRUE(service.isConnected());
        FakeNotificationService fake;
        ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/Notifications", &fake));
        ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));

        SystemTray tray;
        ASSERT_FALSE(tray.shown());
        tray.setNotificationBus(QDBusConnection::connectToBus(QString::fromStdString(address), "kelbo"));
        QElapsedTimer took;
        took.start();
        tray.showNotice("Recording finished", "Recorded \"News\" on BBC1: 00:30:00, 1.2 GB", false);
        tray.showNotice("Recording stopped", "No space left on device", true);
        EXPECT_LT(took.elapsed(), 100) << "sent without waiting for an answer";
        tray.showNotice("Recording started", "Recording \"Tom & Jerry <Live> <a href='http://x'>win</a>\"", false);
        for (int i = 0; i < 100 && fake.calls.size() < 3; ++i) QTest::qWait(20);

        ASSERT_EQ(fake.calls.size(), 3u);
        // Servers read bodies as markup: guide text must show as written.
        EXPECT_EQ(fake.calls[2].arguments()[4].toString(),
                  "Recording \"Tom &amp; Jerry &lt;Live&gt; &lt;a href='http://x'&gt;win&lt;/a&gt;\"");
        const QList<QVariant> first = fake.calls[0].arguments();
        EXPECT_EQ(fake.calls[0].member(), "Notify");
        ASSERT_EQ(first.size(), 8);
        EXPECT_EQ(first[0].toString(), "Kelbo");
        EXPECT_EQ(first[3].toString(), "Recording finished");
        EXPECT_EQ(first[4].toString(), "Recorded \"News\" on BBC1: 00:30:00, 1.2 GB");
        EXPECT_EQ(fake.calls[1].arguments()[3].toString(), "Recording stopped");

        service.unregisterObject("/org/freedesktop/Notifications");
    }
    QDBusConnection::disconnectFromBus("fake-notifications");
    QDBusConnection::disconnectFromBus("kelbo");
    daemon.stop(SIGTERM, std::chrono::seconds(5));
}
