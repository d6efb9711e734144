// The command socket as other programs meet it: the user's own commands
// are answered, another user's programs neither reach the recorder nor
// pose as it, and a client that sends too much, too little or nothing
// cannot hold on to the recorder. The other user is uid 65534, run with
// setpriv (the tests run as root).
#include "recorder/app/command_request.h"
#include "recorder/app/single_instance.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
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
app::SingleInstance::Answer askFromAnotherThread(const QString& settings, const QByteArray& request) {
    auto pending = std::async(std::launch::async, [&] { return app::SingleInstance(settings).ask(request); });
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
    recorder.setLimits({.connections = 3, .idleMs = 400});
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
