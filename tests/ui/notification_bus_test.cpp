// Desktop notifications through the notification service on a private
// session bus, answered by the test's own server: what each server is sent
// depends on what it says it can do (markup, actions), each event is one
// notification that replaces none, and only a lost recording is critical.
#include "fake_notification_server.h"
#include "recorder/ui/freedesktop_notification.h"
#include "recorder/ui/system_tray.h"
#include "support/private_bus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelbo;
using namespace kelbo::testing;
using kelbo::ui::SystemTray;

namespace {

class NotificationBusTest : public ::testing::Test {
protected:
    NotificationBusTest() : address(bus.address()) {
        QGuiApplication::setDesktopFileName("io.github.kelbo.Kelbo");
    }
    ~NotificationBusTest() override {
        if (serving) {
            service->unregisterObject("/org/freedesktop/Notifications");
            service.reset();
            QDBusConnection::disconnectFromBus("fake-notifications");
        }
        tray.reset();
        QDBusConnection::disconnectFromBus("kelbo");
    }

    // The server on the bus, saying it can do `capabilities`, and the tray
    // that sends to it.
    void serve(const QStringList& capabilities) {
        ASSERT_TRUE(bus.listening()) << "dbus-daemon did not start";
        fake.capabilities = capabilities;
        service = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(address), "fake-notifications"));
        ASSERT_TRUE(service->isConnected());
        ASSERT_TRUE(service->registerVirtualObject("/org/freedesktop/Notifications", &fake));
        ASSERT_TRUE(service->registerService("org.freedesktop.Notifications"));
        serving = true;
        connectTray();
    }
    void connectTray() {
        tray = std::make_unique<SystemTray>();
        tray->setNotificationBus(QDBusConnection::connectToBus(QString::fromStdString(address), "kelbo"));
    }
    void waitFor(size_t count) {
        for (int i = 0; i < 100 && fake.notifications.size() < count; ++i) QTest::qWait(20);
    }
    static QVariantMap hints(const QDBusMessage& m) {
        return qdbus_cast<QVariantMap>(m.arguments()[6]);
    }

    PrivateBus bus;
    std::string address;
    FakeNotificationServer fake;
    std::unique_ptr<QDBusConnection> service;
    bool serving = false;
    std::unique_ptr<SystemTray> tray;
};

const Announcement kTomAndJerry{"Recording started",
                                "Recording \"Tom & Jerry <Live> <a href='http://x'>win</a>\" on BBC1", false, {}};

}  // namespace

TEST_F(NotificationBusTest, AServerThatReadsMarkupGetsGuideTextEscapedWithTheProgramsIconAndEntry) {
    serve({"body", "body-markup"});
    ASSERT_FALSE(tray->shown());
    QElapsedTimer took;
    took.start();
    tray->showNotice(kTomAndJerry);
    EXPECT_LT(took.elapsed(), 100) << "sent without waiting for the server";
    waitFor(1);
    ASSERT_EQ(fake.notifications.size(), 1u);
    const QDBusMessage& sent = fake.notifications[0];
    EXPECT_EQ(sent.member(), "Notify");
    const QList<QVariant> args = sent.arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[0].toString(), "Kelbo");
    EXPECT_EQ(args[1].toUInt(), 0u) << "replaces no other notification";
    EXPECT_EQ(args[2].toString(), "io.github.kelbo.Kelbo") << "the installed icon";
    EXPECT_EQ(args[3].toString(), "Recording started");
    EXPECT_EQ(args[4].toString(),
              "Recording \"Tom &amp; Jerry &lt;Live&gt; &lt;a href='http://x'&gt;win&lt;/a&gt;\" on BBC1");
    EXPECT_TRUE(args[5].toStringList().isEmpty()) << "nothing to play yet";
    const QVariantMap h = hints(sent);
    EXPECT_EQ(h.value("desktop-entry").toString(), "io.github.kelbo.Kelbo");
    EXPECT_EQ(h.value("urgency").toInt(), 1);
}

TEST_F(NotificationBusTest, AServerOfPlainTextGetsTheTextAsWritten) {
    serve({"body"});
    tray->showNotice(kTomAndJerry);
    waitFor(1);
    ASSERT_EQ(fake.notifications.size(), 1u);
    EXPECT_EQ(fake.notifications[0].arguments()[4].toString(), QString::fromStdString(kTomAndJerry.text));
}

TEST_F(NotificationBusTest, AFinishedRecordingOffersPlayAndShowInFolderWhereTheServerHasActions) {
    serve({"body", "actions"});
    QSignalSpy play(&tray->notifications(), &ui::FreedesktopNotifications::playRequested);
    QSignalSpy folder(&tray->notifications(), &ui::FreedesktopNotifications::showInFolderRequested);
    const std::vector<std::string> parts{"/home/u/Videos/Film-20001[1.2].mpg", "/home/u/Videos/Film-20001[2.2].mpg"};
    tray->showNotice({"Recording finished", "Recorded \"Film\": 01:30:00, 3.1 GB", false, parts});
    waitFor(1);
    ASSERT_EQ(fake.notifications.size(), 1u);
    EXPECT_EQ(fake.notifications[0].arguments()[5].toStringList(),
              (QStringList{"play", "Play", "show-in-folder", "Show in Folder"}));
    QTest::qWait(100);  // the server's answer, with the notification's id

    // Another program's notification 7 is none of the recorder's business.
    for (uint id : {7u, fake.lastId}) {
        QDBusMessage invoked = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                          "org.freedesktop.Notifications", "ActionInvoked");
        invoked << id << QString("play");
        service->send(invoked);
    }
    QDBusMessage invoked = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                                                      "org.freedesktop.Notifications", "ActionInvoked");
    invoked << fake.lastId << QString("show-in-folder");
    service->send(invoked);
    for (int i = 0; i < 50 && folder.isEmpty(); ++i) QTest::qWait(20);
    ASSERT_EQ(play.size(), 1);
    EXPECT_EQ(play[0][0].toStringList(), (QStringList{QString::fromStdString(parts[0]), QString::fromStdString(parts[1])}));
    ASSERT_EQ(folder.size(), 1);
}

TEST_F(NotificationBusTest, AServerWithoutActionsGetsNone) {
    serve({"body"});
    tray->showNotice({"Recording finished", "Recorded \"Film\": 01:30:00, 3.1 GB", false, {"/v/Film.mpg"}});
    waitFor(1);
    ASSERT_EQ(fake.notifications.size(), 1u);
    EXPECT_TRUE(fake.notifications[0].arguments()[5].toStringList().isEmpty());
}

TEST_F(NotificationBusTest, BackToBackNewsIsTwoNotificationsAndOnlyALostRecordingIsCritical) {
    serve({"body"});
    tray->showNotice({"Recording finished", "Recorded \"News\" on BBC1: 00:30:00, 1.2 GB", false, {"/v/News.mpg"}});
    tray->showNotice({"Recording started", "Recording \"Film\" on BBC1 into Film-20001[1.].mpg", false, {}});
    tray->showNotice({"Recording failed", "\"Late\" on BBC2 was not recorded: the device recorded nothing", true, {}});
    waitFor(3);
    ASSERT_EQ(fake.notifications.size(), 3u);
    EXPECT_EQ(fake.notifications[0].arguments()[3].toString(), "Recording finished");
    EXPECT_EQ(fake.notifications[1].arguments()[3].toString(), "Recording started");
    for (const QDBusMessage& m : fake.notifications) EXPECT_EQ(m.arguments()[1].toUInt(), 0u) << "replaces none";
    EXPECT_EQ(hints(fake.notifications[0]).value("urgency").toInt(), 1);
    EXPECT_EQ(hints(fake.notifications[1]).value("urgency").toInt(), 1);
    EXPECT_EQ(hints(fake.notifications[2]).value("urgency").toInt(), 2);
}

TEST_F(NotificationBusTest, WithoutAServerNothingIsSentAndNothingWaits) {
    connectTray();
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(tray->notifications().send(kTomAndJerry));
    tray->showNotice(kTomAndJerry);
    EXPECT_LT(took.elapsed(), 500);
}
