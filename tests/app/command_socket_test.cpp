// The command socket as other programs meet it: the user's own commands
// are answered, another user's programs neither reach the recorder nor
// pose as it, a client that sends too much, too little or nothing (or a
// byte at a time) cannot hold on to the recorder, and a command tells a
// busy or silent recorder from none. The other user is uid 65534, run with
// setpriv (the tests run as root).
#include "recorder/app/command_request.h"
#include "recorder/app/remote_commands.h"
#include "recorder/app/single_instance.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <iostream>
#include <sstream>
#include <thread>

using namespace kelbo;
using namespace kelbo::testing;
using Outcome = app::SingleInstance::Answer::Outcome;

namespace {

constexpr uid_t kOther = 65534;

// Spins the event loop (the recorder's side) until `done` or `ms` pass.
template <typename Done>
bool spinUntil(Done done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A client in a thread of its own, as a second program would be, while the
// test's thread serves.
app::SingleInstance::Answer askFromAnotherThread(const QString& settings, const QByteArray& request,
                                                 app::SingleInstance::Patience patience = {}) {
    auto pending = std::async(std::launch::async, [&] {
        app::SingleInstance client(settings);
        client.setPatience(patience);
        return client.ask(request);
    });
    spinUntil([&] { return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 20000);
    return pending.get();
}

// Python run as the other user; empty when that user cannot be had.
QStringList asOtherUser(const QString& script) {
    return {"--reuid", QString::number(kOther), "--regid", QString::number(kOther), "--clear-groups",
            "/usr/bin/python3", "-c", script};
}

bool otherUserAvailable() {
    return ::getuid() == 0 && QProcess::execute("setpriv", asOtherUser("pass")) == 0;
}

class CommandSocketTest : public ::testing::Test {
protected:
    CommandSocketTest() : runtime_(dir_ / "runtime"), environment_({{"XDG_RUNTIME_DIR", runtime_.string()}}) {
        std::filesystem::create_directory(runtime_);
        ::chmod(runtime_.c_str(), 0700);
    }
    QString settings() const { return QString::fromStdString((dir_ / "config").string()); }

    TempDir dir_;
    std::filesystem::path runtime_;
    ScopedEnvironment environment_;
};

}  // namespace

TEST(CommandRequest, StopRecordingNamesOneProgrammeByItsIdOrNone) {
    EXPECT_EQ(app::readCommand("stop-recording").command, app::Command::StopRecording);
    EXPECT_FALSE(app::readCommand("stop-recording").programme);
    const app::CommandRequest one = app::readCommand("stop-recording 27");
    EXPECT_EQ(one.command, app::Command::StopRecording);
    EXPECT_EQ(one.programme, 27u);
    for (const char* bad : {"stop-recording ", "stop-recording  27", "stop-recording 27 ", "stop-recording -1",
                            "stop-recording 0", "stop-recording 99999999999", "stop-recording 2\x1b", "stop-recording27"}) {
        const app::CommandRequest refused = app::readCommand(bad);
        EXPECT_EQ(refused.command, app::Command::Unknown) << bad;
        EXPECT_FALSE(refused.programme) << bad;
    }
}

TEST(CommandRequest, ABrokenOrEndlessRequestGetsAnErrorReplyAndIsNeverKeptWhole) {
    // A byte that is not UTF-8 is shown back escaped, in valid JSON.
    const app::CommandRequest broken = app::readCommand("\xff\x1b[2J");
    EXPECT_EQ(broken.command, app::Command::Unknown);
    const auto reply = nlohmann::json::parse(app::errorReply("unknown request: " + broken.shown));
    EXPECT_EQ(reply["error"], "unknown request: \\xff\\x1b[2J");
    EXPECT_EQ(app::readCommand(" status\r").command, app::Command::Unknown) << "the line is trimmed first";

    app::RequestLine line;
    line.add(" status\r\n");
    ASSERT_TRUE(line.line());
    EXPECT_EQ(app::readCommand(*line.line()).command, app::Command::Status);

    // 300 MB without a line break: refused once past the bound, and never
    // more than the bound held.
    app::RequestLine endless;
    const std::string chunk(1 << 20, 'x');
    size_t most = 0;
    for (int i = 0; i < 300 && !endless.done(); ++i) {
        endless.add(chunk);
        most = std::max(most, endless.buffered());
    }
    EXPECT_TRUE(endless.tooLong());
    EXPECT_FALSE(endless.line());
    EXPECT_LE(most, app::RequestLine::kMaxBytes + 1);

    app::RequestLine exactly;
    exactly.add(std::string(app::RequestLine::kMaxBytes, 'y') + "\nmore");
    EXPECT_TRUE(exactly.line()) << "a request of the bound itself is taken";
}

TEST_F(CommandSocketTest, TheSocketIsInTheUsersOwnFolderAndAFailureToListenIsTold) {
    const QString path = app::commandSocketPath(settings());
    EXPECT_TRUE(path.startsWith(QString::fromStdString(runtime_.string()) + "/kelbo-")) << path.toStdString();

    // A runtime folder open to others is not used: the settings folder's own.
    ::chmod(runtime_.c_str(), 0777);
    const QString fallback = app::commandSocketPath(settings());
    EXPECT_EQ(fallback.left(fallback.lastIndexOf('/')), settings() + "/run");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(settings() + "/run").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Something that is not a socket holds the name: the recorder says why.
    ::chmod(runtime_.c_str(), 0700);
    std::filesystem::create_directories(path.toStdString() + "/taken");
    app::SingleInstance instance(settings());
    EXPECT_FALSE(instance.listen());
    EXPECT_NE(instance.listenError().indexOf(path), -1) << instance.listenError().toStdString();

    // No folder of the user's own at all: nothing is listened on, and why.
    ::chmod(runtime_.c_str(), 0777);
    std::filesystem::remove(settings().toStdString() + "/run");
    writeFile(settings().toStdString() + "/run", "a file");
    app::SingleInstance nowhere(settings());
    EXPECT_FALSE(nowhere.listen());
    EXPECT_EQ(nowhere.listenError(), "no folder of the user's own for the command socket: " + settings() +
                                         "/run is not a folder");
    EXPECT_EQ(nowhere.ask("status").outcome, Outcome::Untrusted);
}

TEST_F(CommandSocketTest, TheUsersOwnCommandsAreAnsweredAnotherUsersAreNot) {
    app::SingleInstance recorder(settings());
    std::atomic<int> stops = 0;
    recorder.setCommandHandler([&stops](const QByteArray& request) {
        if (request == "stop-recording") ++stops;
        return QByteArray(R"({"stopped":true})");
    });
    ASSERT_TRUE(recorder.listen()) << recorder.listenError().toStdString();

    const app::SingleInstance::Answer own = askFromAnotherThread(settings(), "stop-recording");
    ASSERT_EQ(own.outcome, Outcome::Answered) << own.why.toStdString();
    EXPECT_EQ(own.reply, R"({"stopped":true})");
    EXPECT_EQ(stops, 1);

    if (!otherUserAvailable()) GTEST_SKIP() << "uid 65534 cannot be had here (not root, or no setpriv)";
    // Even when the folder and the socket are opened to everyone by mistake,
    // the other user's request is not acted on.
    ::chmod(dir_.path().c_str(), 0755);
    ::chmod(runtime_.c_str(), 0755);
    ::chmod(recorder.path().toLocal8Bit().constData(), 0777);
    QProcess stranger;
    stranger.start("setpriv", asOtherUser(
        "import socket,sys\n"
        "s=socket.socket(socket.AF_UNIX)\n"
        "s.connect(sys.argv[1])\n"
        "s.sendall(b'stop-recording\\n')\n"
        "try: reply = s.recv(100)\n"
        "except ConnectionResetError: reply = b''\n"
        "print(repr(reply))\n") << recorder.path());
    ASSERT_TRUE(spinUntil([&] { return stranger.state() == QProcess::NotRunning; }));
    EXPECT_EQ(stranger.exitCode(), 0) << stranger.readAllStandardError().toStdString();
    EXPECT_EQ(stranger.readAllStandardOutput().trimmed(), "b''") << "hung up on without an answer";
    EXPECT_EQ(stops, 1) << "the other user's stop was acted on";
}

TEST_F(CommandSocketTest, ASocketOfAnotherUserIsNotTrustedWhereverItIs) {
    if (!otherUserAvailable()) GTEST_SKIP() << "uid 65534 cannot be had here (not root, or no setpriv)";
    // The other user's program listens in a folder of its own, answering
    // every request as the recorder would.
    const std::filesystem::path theirs = dir_ / "theirs";
    std::filesystem::create_directory(theirs);
    ::chown(theirs.c_str(), kOther, kOther);
    ::chmod(dir_.path().c_str(), 0755);
    QProcess impostor;
    impostor.start("setpriv", asOtherUser(
        "import socket,sys\n"
        "s=socket.socket(socket.AF_UNIX)\n"
        "s.bind(sys.argv[1]); s.listen(4); print('ready', flush=True)\n"
        "while True:\n"
        "  c,_=s.accept(); c.recv(100); c.sendall(b'{\"stopped\":true}\\n'); c.close()\n")
        << QString::fromStdString((theirs / "sock").string()));
    ASSERT_TRUE(impostor.waitForReadyRead(10000)) << impostor.readAllStandardError().toStdString();

    // Moved to where the recorder's socket would be: its owner gives it away.
    const QString path = app::commandSocketPath(settings());
    ASSERT_EQ(::rename((theirs / "sock").c_str(), QFile::encodeName(path).constData()), 0);
    const app::SingleInstance client(settings());
    app::SingleInstance::Answer answer = client.ask("stop-recording");
    EXPECT_EQ(answer.outcome, Outcome::Untrusted);
    EXPECT_NE(answer.why.indexOf("belongs to user 65534"), -1) << answer.why.toStdString();
    EXPECT_FALSE(client.askToComeForward());

    // Even as the user's own file, the program behind it is not the user's.
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), ::getuid(), ::getgid()), 0);
    answer = client.ask("stop-recording");
    EXPECT_EQ(answer.outcome, Outcome::Untrusted);
    EXPECT_NE(answer.why.indexOf("served by user 65534"), -1) << answer.why.toStdString();
    impostor.kill();
    impostor.waitForFinished();
}

TEST_F(CommandSocketTest, IdleSurplusAndEndlessConnectionsAreCutOffAndTheRecorderStillAnswers) {
    app::SingleInstance recorder(settings());
    recorder.setLimits({.connections = 3, .requestMs = 400});
    recorder.setCommandHandler([](const QByteArray&) { return QByteArray(R"({"state":"Recording"})"); });
    ASSERT_TRUE(recorder.listen());

    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 5; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(recorder.path());
        ASSERT_TRUE(idle.back()->waitForConnected(2000));
    }
    const auto closed = [&] {
        return std::count_if(idle.begin(), idle.end(),
                             [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; });
    };
    spinUntil([&] { return closed() >= 2; }, 300);
    EXPECT_EQ(closed(), 2) << "the connections past the limit are closed at once, the others kept";
    EXPECT_TRUE(spinUntil([&] { return closed() == 5; }, 3000)) << "idle connections are closed";

    // A request without an end is refused with a reply once past the bound.
    QLocalSocket endless;
    endless.connectToServer(recorder.path());
    ASSERT_TRUE(endless.waitForConnected(2000));
    endless.write(QByteArray(200 * 1024, 'x'));
    QByteArray reply;
    spinUntil([&] {
        reply += endless.readAll();
        return reply.contains('\n') || endless.state() == QLocalSocket::UnconnectedState;
    });
    reply += endless.readAll();
    EXPECT_NE(reply.indexOf(R"({"error":"request longer than 64 KiB"})"), -1) << reply.left(200).toStdString();
    const app::SingleInstance::Answer status = askFromAnotherThread(settings(), "status");
    ASSERT_EQ(status.outcome, Outcome::Answered);
    EXPECT_EQ(status.reply, R"({"state":"Recording"})");
}

TEST_F(CommandSocketTest, ATrickleHoldsItsSlotOnlyToItsDeadlineAndABusyRecorderSaysSo) {
    app::SingleInstance recorder(settings());
    recorder.setLimits({.connections = 3, .requestMs = 600});
    recorder.setCommandHandler([](const QByteArray&) { return QByteArray(R"({"state":"Recording"})"); });
    ASSERT_TRUE(recorder.listen());
    // Every slot taken by a client sending a byte every 100 ms, never a line's end.
    std::vector<std::unique_ptr<QLocalSocket>> trickling;
    for (int i = 0; i < 3; ++i) {
        trickling.push_back(std::make_unique<QLocalSocket>());
        trickling.back()->connectToServer(recorder.path());
        ASSERT_TRUE(trickling.back()->waitForConnected(2000));
    }
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&trickling] {
        for (const auto& client : trickling) client->write("s");
    });
    trickle.start(100);
    spinUntil([] { return false; }, 150);

    EXPECT_EQ(askFromAnotherThread(settings(), "status", {.busyMs = 0}).outcome, Outcome::Busy);
    const app::SingleInstance::Answer patient = askFromAnotherThread(settings(), "status", {.busyMs = 3000});
    EXPECT_EQ(patient.outcome, Outcome::Answered) << "no slot came free at the trickles' deadline";
    EXPECT_EQ(patient.reply, R"({"state":"Recording"})");
    EXPECT_TRUE(spinUntil([&trickling] {
        return std::all_of(trickling.begin(), trickling.end(),
                           [](const auto& client) { return client->state() == QLocalSocket::UnconnectedState; });
    }, 1000));
}

TEST_F(CommandSocketTest, ACommandTellsABusyOrSilentRecorderFromNoneRunning) {
    const QString path = app::commandSocketPath(settings());
    const auto told = [this](const std::unique_ptr<QObject>& /*serving*/) {
        std::ostringstream err;
        std::streambuf* const terminal = std::cerr.rdbuf(err.rdbuf());
        auto pending = std::async(std::launch::async, [this] {
            app::SingleInstance client(settings());
            client.setPatience({.answerMs = 300, .busyMs = 0});
            app::RemoteRequest status;
            status.command = "status";
            return app::sendRemoteRequest(client, status);
        });
        spinUntil([&] { return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        const int status = pending.get();
        std::cerr.rdbuf(terminal);
        return std::to_string(status) + " " + err.str();
    };
    const std::string none = "1 kelbo: no Kelbo recorder is running for this user.\n";
    EXPECT_EQ(told(nullptr), none);

    // A socket a recorder that ended left behind refuses connections.
    const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(left, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(told(nullptr), none);
    ::close(left);
    ::unlink(address.sun_path);

    auto full = std::make_unique<app::SingleInstance>(settings());
    full->setLimits({.connections = 0});
    ASSERT_TRUE(full->listen());
    EXPECT_EQ(told(std::move(full)),
              "1 kelbo: the Kelbo recorder is busy with other commands; try again in a moment.\n");

    // Takes connections and answers none.
    auto silent = std::make_unique<QLocalServer>();
    ASSERT_TRUE(silent->listen(path));
    EXPECT_EQ(told(std::move(silent)), "1 kelbo: the Kelbo recorder is running but did not answer.\n");
}
