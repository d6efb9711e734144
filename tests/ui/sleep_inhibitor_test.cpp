// While a recording runs the computer is kept from sleeping: a logind
// "block" lock for sleep, asked for on a private system bus of the test's
// own with a fake org.freedesktop.login1, and released when the recording
// ends. Without logind the recorder goes on and says so once.
#include "main_window_rig.h"
#include "recorder/forms/schedule_commands.h"
#include "recorder/ui/sleep_inhibitor.h"
#include "support/private_bus.h"
#include "support/scoped_state_home.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QTest>
#include <gtest/gtest.h>


#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace kelbo;
using namespace kelbo::testing;
using kelbo::ui::SleepInhibitor;

namespace {

// logind's Manager as far as inhibitor locks go: each lock is a pipe whose
// far end the fake keeps, so it sees the lock's release as the pipe's end.
class FakeLogind : public QDBusVirtualObject {
public:
    ~FakeLogind() override {
        for (int fd : farEnds) ::close(fd);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != "Inhibit") return false;
        calls.push_back(message.arguments());
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return false;
        farEnds.push_back(ends[0]);
        connection.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        ::close(ends[1]);
        return true;
    }
    // Whether lock `i` is still held by someone.
    bool held(size_t i) const {
        pollfd fd{farEnds.at(i), POLLIN, 0};
        return ::poll(&fd, 1, 0) == 0;
    }
    std::vector<QList<QVariant>> calls;
    std::vector<int> farEnds;
};

class SleepInhibitorTest : public MainWindowTest {
protected:
    SleepInhibitorTest() : address(bus.address()) {}
    ~SleepInhibitorTest() override {
        if (logindOnTheBus) {
            logindBus->unregisterObject("/org/freedesktop/login1");
            logindBus.reset();
            QDBusConnection::disconnectFromBus("fake-logind");
        }
        QDBusConnection::disconnectFromBus("kelbo-system");
    }
    void startLogind() {
        ASSERT_TRUE(bus.listening()) << "dbus-daemon did not start";
        logindBus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(address), "fake-logind"));
        ASSERT_TRUE(logindBus->registerVirtualObject("/org/freedesktop/login1", &logind));
        ASSERT_TRUE(logindBus->registerService("org.freedesktop.login1"));
        logindOnTheBus = true;
    }
    QDBusConnection recorderBus() const {
        return QDBusConnection::connectToBus(QString::fromStdString(address), "kelbo-system");
    }
    static void waitUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) QTest::qWait(20);
    }

    ScopedStateHome state;
    PrivateBus bus;  // stands for the system bus
    std::string address;
    FakeLogind logind;
    std::unique_ptr<QDBusConnection> logindBus;
    bool logindOnTheBus = false;
};

}  // namespace

TEST_F(SleepInhibitorTest, ARecordingHoldsASleepLockUntilItEnds) {
    startLogind();
    ui::MainWindow& w = start();
    w.sleepInhibitor().setBus(recorderBus());
    w.Timer1_Timer();
    QTest::qWait(100);
    EXPECT_TRUE(logind.calls.empty()) << "nothing to hold off sleep for yet";

    clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    w.Timer1_Timer();
    ASSERT_EQ(device->state, CaptureDevice::Recording);
    waitUntil([&] { return w.sleepInhibitor().held(); });
    ASSERT_EQ(logind.calls.size(), 1u);
    const QList<QVariant>& args = logind.calls[0];
    ASSERT_EQ(args.size(), 4);
    EXPECT_EQ(args[0].toString(), "sleep");
    EXPECT_EQ(args[1].toString(), "Kelbo");
    EXPECT_EQ(args[2].toString(), "Kelbo is recording \"Soon\" on Channel101");
    EXPECT_EQ(args[3].toString(), "block");
    EXPECT_TRUE(logind.held(0));

    // Every tick of the recording keeps the one lock.
    for (int i = 0; i < 5; ++i) w.Timer1_Timer();
    QTest::qWait(50);
    EXPECT_EQ(logind.calls.size(), 1u);

    w.TransportControl_Click(ScheduleCommands::kStopButton);
    w.Timer1_Timer();
    ASSERT_NE(device->state, CaptureDevice::Recording);
    waitUntil([&] { return !logind.held(0); });
    EXPECT_FALSE(logind.held(0)) << "released when the recording ends";
    EXPECT_FALSE(w.sleepInhibitor().held());
    closeWindow();
}

// With two tuners the one lock names both programmes, whichever tuner has
// which; it is held until the last of them ends.
TEST_F(SleepInhibitorTest, TwoRecordingsAtOnceAreBothNamedInTheOneLock) {
    store.SaveSetting(settings::kDefaults, settings::kTuners, "2");
    GuideRecord also = programme("Фильм", kNow.plusMinutes(10), 30, "102");
    also.channelName = "НТВ";
    writeFile(dir / "KelboSchedule.txt", programme("Soon", kNow.plusMinutes(10), 30).text() + also.text());
    std::vector<ScriptedCaptureDevice*> others;
    tunerOpener = [&](int) -> std::unique_ptr<CaptureDevice> {
        auto d = std::make_unique<ScriptedCaptureDevice>();
        others.push_back(d.get());
        return d;
    };
    startLogind();
    ui::MainWindow& w = start();
    w.sleepInhibitor().setBus(recorderBus());
    clock.set(toInstant(kNow.plusMinutes(10)) + std::chrono::milliseconds(400));
    w.Timer1_Timer();
    ASSERT_EQ(others.size(), 1u);
    ASSERT_EQ(device->state, CaptureDevice::Recording);
    ASSERT_EQ(others[0]->state, CaptureDevice::Recording);
    waitUntil([&] { return w.sleepInhibitor().held(); });
    ASSERT_EQ(logind.calls.size(), 1u);
    EXPECT_EQ(logind.calls[0][2].toString().toStdString(), "Kelbo is recording \"Soon\" on Channel101, \"Фильм\" on НТВ");

    // Tuner 1's programme stopped, the other records on: still held.
    device->StopCapture();
    w.Timer1_Timer();
    QTest::qWait(50);
    EXPECT_TRUE(logind.held(0));
    closeWindow();
}

TEST_F(SleepInhibitorTest, WithoutLogindTheRecorderGoesOnAndSaysSoOnce) {
    SleepInhibitor inhibitor;
    inhibitor.setBus(recorderBus());
    for (int recording = 0; recording < 3; ++recording) {
        for (int tick = 0; tick < 3; ++tick) inhibitor.setHeld(true, "Kelbo is recording \"News\" on BBC1");
        QTest::qWait(200);
        EXPECT_FALSE(inhibitor.held());
        inhibitor.setHeld(false, {});
    }
    const std::string log = state.logText();
    const std::string line = "Sleep is not held off while recording";
    ASSERT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos) << "once: " << log;
}

TEST_F(SleepInhibitorTest, ALockThatComesAfterTheRecordingEndedIsNotKept) {
    startLogind();
    SleepInhibitor inhibitor;
    inhibitor.setBus(recorderBus());
    inhibitor.setHeld(true, "Kelbo is recording \"News\"");
    inhibitor.setHeld(false, {});
    waitUntil([&] { return !logind.calls.empty(); });
    ASSERT_EQ(logind.calls.size(), 1u);
    waitUntil([&] { return !logind.held(0); });
    EXPECT_FALSE(logind.held(0));
    EXPECT_FALSE(inhibitor.held());
}
