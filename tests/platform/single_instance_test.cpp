#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/system/SingleInstance.h"

using namespace corvane;

namespace {

mode_t modeOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

// Every test gets its own runtime and temporary folders, so nothing here can
// meet a Corvane the user is running.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        hadRuntime_ = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        savedTmp_ = qgetenv("TMPDIR");
        hadTmp_ = qEnvironmentVariableIsSet("TMPDIR");
        runtime_ = makeFolder(QStringLiteral("run"));
        tmp_ = makeFolder(QStringLiteral("tmp"));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_));
        qputenv("TMPDIR", QFile::encodeName(tmp_));
    }
    void TearDown() override {
        if (hadRuntime_) qputenv("XDG_RUNTIME_DIR", savedRuntime_);
        else qunsetenv("XDG_RUNTIME_DIR");
        if (hadTmp_) qputenv("TMPDIR", savedTmp_);
        else qunsetenv("TMPDIR");
    }
    QString makeFolder(const QString& name) {
        const QString path = root_.filePath(name);
        QDir().mkpath(path);
        ::chmod(QFile::encodeName(path).constData(), 0700);
        return path;
    }
    // Where earlier versions put the socket: a bare name Qt resolves in the
    // shared temporary directory.
    QString oldSharedName() const { return tmp_ + QStringLiteral("/corvane-%1").arg(::getuid()); }

    QTemporaryDir root_;
    QString runtime_, tmp_;

private:
    QByteArray savedRuntime_, savedTmp_;
    bool hadRuntime_ = false, hadTmp_ = false;
};

// A stranger's server that accepts every connection and never answers.
struct Squatter {
    QLocalServer server;
    explicit Squatter(const QString& path) {
        server.setSocketOptions(QLocalServer::WorldAccessOption);
        QObject::connect(&server, &QLocalServer::newConnection, &server, [this] {
            while (QLocalSocket* s = server.nextPendingConnection()) s->setParent(&server);
        });
        listening = server.listen(path);
    }
    bool listening = false;
};

}  // namespace

TEST_F(SingleInstanceTest, SocketLivesInAPrivateFolderOfTheRuntimeDirectory) {
    const QString path = SingleInstance::defaultPath();
    EXPECT_EQ(path, runtime_ + QStringLiteral("/corvane/instance"));
    EXPECT_EQ(modeOf(runtime_ + QStringLiteral("/corvane")), 0700u);

    SingleInstance first(path);
    ASSERT_TRUE(first.claim());
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(SingleInstanceTest, SecondStartWithTheSameRuntimeDirectoryRaisesTheFirst) {
    SingleInstance first;
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    SingleInstance second;
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activated.wait(2000));
}

TEST_F(SingleInstanceTest, AnotherRuntimeDirectoryIsAnotherInstance) {
    SingleInstance first;
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(makeFolder(QStringLiteral("other-session"))));
    SingleInstance second;
    EXPECT_TRUE(second.claim());
    EXPECT_FALSE(activated.wait(300));
}

TEST_F(SingleInstanceTest, AnythingPlantedAtTheOldSharedNameChangesNothing) {
    {
        Squatter squatter(oldSharedName());
        ASSERT_TRUE(squatter.listening);
        SingleInstance first;
        EXPECT_TRUE(first.claim(200));
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second;
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(activated.wait(2000));
    }
    QLocalServer::removeServer(oldSharedName());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(makeFolder(QStringLiteral("run2"))));
    {
        QFile planted(oldSharedName());
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write("not a socket");
        planted.close();
        SingleInstance first;
        EXPECT_TRUE(first.claim(200));
        SingleInstance second;
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(QFile::exists(oldSharedName()));
    }
}

TEST_F(SingleInstanceTest, StaleSocketFromACrashedInstanceIsTakenOver) {
    const QString path = SingleInstance::defaultPath();
    {
        // What a crashed instance leaves: a socket file nobody listens on.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        ASSERT_LT(std::size_t(native.size()), sizeof(address.sun_path));
        std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
        ASSERT_TRUE(QFileInfo::exists(path));
    }
    SingleInstance instance(path);
    EXPECT_TRUE(instance.claim(200));
    QSignalSpy activated(&instance, &SingleInstance::activationRequested);
    SingleInstance second(path);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activated.wait(2000));
}

TEST_F(SingleInstanceTest, WithoutARuntimeDirectoryAPrivateTemporaryFolderServes) {
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = tmp_ + QStringLiteral("/corvane-runtime-%1").arg(::getuid());
    EXPECT_EQ(SingleInstance::defaultPath(), folder + QStringLiteral("/instance"));
    EXPECT_EQ(modeOf(folder), 0700u);

    SingleInstance first;
    ASSERT_TRUE(first.claim());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);
    SingleInstance second;
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activated.wait(2000));
}

TEST_F(SingleInstanceTest, OnlyAFolderOfOurOwnClosedToOthersCounts) {
    const QString mine = root_.filePath(QStringLiteral("mine"));
    EXPECT_TRUE(SingleInstance::ensurePrivateFolder(mine));
    EXPECT_EQ(modeOf(mine), 0700u);

    const QString loose = makeFolder(QStringLiteral("loose"));
    ::chmod(QFile::encodeName(loose).constData(), 0777);
    EXPECT_TRUE(SingleInstance::ensurePrivateFolder(loose));
    EXPECT_EQ(modeOf(loose), 0700u) << "a folder of ours left open is closed, not used open";

    const QString link = root_.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(mine, link));
    EXPECT_FALSE(SingleInstance::ensurePrivateFolder(link));

    const QString file = root_.filePath(QStringLiteral("file"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(SingleInstance::ensurePrivateFolder(file));

    EXPECT_FALSE(SingleInstance::ensurePrivateFolder(root_.filePath(QStringLiteral("missing/parent"))));
}

TEST_F(SingleInstanceTest, AFallbackFolderTakenByAnotherUserIsNotUsed) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root to hand a folder to another user";
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = tmp_ + QStringLiteral("/corvane-runtime-%1").arg(::getuid());
    ASSERT_TRUE(QDir().mkpath(folder));
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 4242, 4242), 0);
    Squatter squatter(folder + QStringLiteral("/instance"));
    ASSERT_TRUE(squatter.listening);

    EXPECT_EQ(SingleInstance::defaultPath(), QString());
    SingleInstance instance;
    EXPECT_TRUE(instance.claim(200)) << "runs on its own rather than handing over to the stranger";
}
