#include "settings/rememberedvalues.h"
#include "helpers/testchild.h"
#include "helpers/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QSysInfo>
#include <QTest>

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <optional>
#include <functional>
#include <type_traits>
#include <cstdio>

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// What a key release does to the file, counted on the thread that types:
// renames and flushes to the disk, whoever makes them (the store, or Qt).
namespace {
std::atomic<bool> counting{false};
std::atomic<int> renames{0};
std::atomic<int> syncs{0};
pthread_t countedThread;
} // namespace

#define COUNTED(name, params, args, counter) \
    extern "C" int name params \
    { \
        static auto *real = reinterpret_cast<int(*) params>(::dlsym(RTLD_NEXT, #name)); \
        counter += counting && pthread_equal(pthread_self(), countedThread); \
        return real args; \
    }
COUNTED(rename, (const char *from, const char *to), (from, to), renames)
COUNTED(fsync, (int fd), (fd), syncs)
COUNTED(fdatasync, (int fd), (fd), syncs)

// The settings store: addressing, round trips, a write on disk before the
// key release returns and never half-written, and the rules of the
// settings file.
class TestRememberedValues final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void loadAndSave_data();
    void loadAndSave();
    void parallelWritersLoseNothing_data();
    void parallelWritersLoseNothing();
    void childParallel();
    void keyReleaseWork_data();
    void keyReleaseWork();
    void lockJudgedAsQLockFileJudgesIt_data();
    void lockJudgedAsQLockFileJudgesIt();
    void childLockHolder();
    void readBeforeWrite_data();
    void readBeforeWrite();
    void diskFullThenFree();
    void sectionsReadAsQSettingsReadsThem_data();
    void sectionsReadAsQSettingsReadsThem();
    void oddFilesReadAsQSettingsReadsThem();
};

void TestRememberedValues::initTestCase()
{
    if (TestChild::isChild())
        return; // the child keeps the parent's folders
    TestEnv::isolate();
}

void TestRememberedValues::init()
{
    if (!TestChild::isChild())
        TestEnv::clearSettings();
}

// A box restored from the store shows what was saved from it, and its change
// handlers run; an empty or missing value leaves the box as it is.
void TestRememberedValues::loadAndSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain"); // a text box rather than a line box
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("text");

    QTest::newRow("number as typed") << u"txtKM"_s << false << true << u"12,5"_s;
    QTest::newRow("umlauts and symbols") << u"txtTrans"_s << false << true << u"Grüße & \"Tschüß\" = 100 % ; # [x]"_s;
    QTest::newRow("leading blanks kept") << u"txtCelsius"_s << false << true << u"  30 "_s;
    QTest::newRow("lines in a text box") << u"txtTrans"_s << true << true << u"Hallo\nWelt"_s;
    QTest::newRow("empty value leaves the box") << u"txtTrinkgeld"_s << false << true << QString();
    QTest::newRow("missing key leaves the box") << u"txtTrinkgeld"_s << false << false << QString();
}

namespace {

// Saves a box of type Box holding `text` (unless not `saved`), then restores
// a fresh box that shows "1,00": what it shows then, and how often it changed.
template <typename Box>
std::pair<QString, int> restored(const QString &name, bool saved, const QString &text)
{
    if (saved) {
        Box box(text);
        box.setObjectName(name);
        RememberedValues().save(&box);
    }
    Box box(u"1,00"_s);
    box.setObjectName(name);
    int changes = 0;
    QObject::connect(&box, &Box::textChanged, &box, [&changes] { ++changes; });
    RememberedValues().load(&box);
    if constexpr (std::is_same_v<Box, QPlainTextEdit>)
        return {box.toPlainText(), changes};
    else
        return {box.text(), changes};
}

} // namespace

void TestRememberedValues::loadAndSave()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QFETCH(bool, saved);
    QFETCH(QString, text);
    const auto [shown, changes] = plain ? restored<QPlainTextEdit>(name, saved, text) : restored<QLineEdit>(name, saved, text);
    QCOMPARE(shown, text.isEmpty() ? u"1,00"_s : text);
    QCOMPARE(changes, text.isEmpty() ? 0 : 1);
    QCOMPARE(RememberedValues().value(name), text);
}

// Two programs write the file at the same time, each its own keys, as fast
// as they can: every key of both is in the file at the end. The other
// program is this store again, or QSettings, as the maker's programs use.
void TestRememberedValues::parallelWritersLoseNothing_data()
{
    QTest::addColumn<QString>("other");
    QTest::newRow("two stores") << u"store"_s;
    QTest::newRow("store and QSettings") << u"qsettings"_s;
}

void TestRememberedValues::parallelWritersLoseNothing()
{
    QFETCH(QString, other);
    constexpr int writes = 300;
    const QStringList plans = {u"store:a:"_s + QString::number(writes), other + u":b:"_s + QString::number(writes)};
    std::array<QProcess, 2> children;
    for (size_t i = 0; i < children.size(); ++i)
        TestChild::start(children[i], u"childParallel"_s, plans[qsizetype(i)]);
    for (QProcess &child : children) {
        QVERIFY(child.waitForFinished(120000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
    }
    QSettings reader(TestEnv::settingsFile(), QSettings::IniFormat);
    const QString otherSection = other == u"store" ? u"Kartavio/"_s : u"Andere/"_s;
    QStringList lost;
    for (int i = 1; i <= writes; ++i) {
        if (reader.value(u"Kartavio/a"_s + QString::number(i)).toString() != QString::number(i))
            lost.append(u"a"_s + QString::number(i));
        if (reader.value(otherSection + u'b' + QString::number(i)).toString() != QString::number(i))
            lost.append(u"b"_s + QString::number(i));
    }
    QVERIFY2(lost.isEmpty(), qPrintable(QString::number(lost.size()) + u" lost: "_s + lost.mid(0, 20).join(u' ')));
}

void TestRememberedValues::childParallel()
{
    const QStringList plan = TestChild::how().split(u':');
    if (plan.size() != 3)
        QSKIP("runs only as a child of parallelWritersLoseNothing");
    const int writes = plan[2].toInt();
    if (plan[0] == u"store") {
        RememberedValues store;
        for (int i = 1; i <= writes; ++i)
            store.setValue(QString(plan[1] + QString::number(i)), QString::number(i));
        return;
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, u"Kelvara"_s);
    for (int i = 1; i <= writes; ++i) {
        settings.setValue(u"Andere/"_s + plan[1] + QString::number(i), QString::number(i));
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
}

namespace {

using TestEnv::readIni;
using TestEnv::storedValue;

QByteArray settingsBytes()
{
    return TestEnv::contents(TestEnv::settingsFile());
}

// A key of our own section: "Kartavio/" and a name without "/", once
// spelled as QSettings looks a key up (no "/" at either end, none doubled:
// "Kartavio//txtM" reads as "Kartavio/txtM").
bool isOurs(const QString &key)
{
    const QString normal = key.split(u'/', Qt::SkipEmptyParts).join(u'/');
    return normal.startsWith(u"Kartavio/"_s) && !normal.sliced(9).contains(u'/');
}

QMap<QString, QVariant> othersOf(QMap<QString, QVariant> values)
{
    values.removeIf([](const auto &entry) { return isOurs(entry.key()); });
    return values;
}

// Types "4", "42", "42,", "42,5" into txtEur and returns the slowest release.
qint64 typeFourKeys(RememberedValues &store)
{
    qint64 slowest = 0;
    for (const QString &text : {u"4"_s, u"42"_s, u"42,"_s, u"42,5"_s}) {
        QElapsedTimer clock;
        clock.start();
        store.setValue(u"txtEur", text);
        slowest = std::max(slowest, clock.elapsed());
    }
    return slowest;
}

// Far below the second a waited-for lock takes.
constexpr qint64 keyBudgetMs = 250;

// Without the capabilities that let root past file permissions, on this
// thread, while it lives; so that a file without permission is one here too.
class AsPlainUser final
{
public:
    AsPlainUser()
    {
        ::syscall(SYS_capget, &m_header, m_saved.data());
        auto dropped = m_saved;
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            dropped[size_t(cap / 32)].effective &= ~(1u << (cap % 32));
        ::syscall(SYS_capset, &m_header, dropped.data());
    }
    ~AsPlainUser() { ::syscall(SYS_capset, &m_header, m_saved.data()); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, 2> m_saved{};
};

} // namespace

// A key release costs one look at the file and its replacement: one rename,
// no flush to the disk, and no read while the file is the one last written,
// however much other programs keep in it. Counted, not timed, so that a
// store doing more fails on any machine.
void TestRememberedValues::keyReleaseWork_data()
{
    QTest::addColumn<int>("otherBytes"); // another program's section
    QTest::addColumn<bool>("otherWrites"); // it rewrites its section before the key
    QTest::newRow("small file") << 0 << false;
    QTest::newRow("10 MB in another section") << 10 * 1024 * 1024 << false;
    QTest::newRow("another program wrote since") << 0 << true;
}

void TestRememberedValues::keyReleaseWork()
{
    QFETCH(int, otherBytes);
    QFETCH(bool, otherWrites);
    QVERIFY(TestEnv::write(TestEnv::settingsFile(), "[Andere]\nx=" + QByteArray(otherBytes, 'x') + "\n"));
    RememberedValues store;
    store.setValue(u"txtM", u"1"_s);
    if (otherWrites) {
        QSettings other(QSettings::NativeFormat, QSettings::UserScope, u"Kelvara"_s);
        other.setValue(u"Andere/y"_s, 2);
    }
    const int readsBefore = SettingsFile::readCount();
    renames = syncs = 0;
    countedThread = pthread_self();
    counting = true;
    store.setValue(u"txtM", u"12"_s);
    counting = false;
    QCOMPARE(renames.load(), 1);
    QCOMPARE(syncs.load(), 0);
    QCOMPARE(SettingsFile::readCount() - readsBefore, otherWrites ? 1 : 0);
    QCOMPARE(storedValue(u"txtM"_s), u"12"_s);
    QCOMPARE(readIni(settingsBytes()).value(u"Andere/y"_s).toInt(), otherWrites ? 2 : 0);
}

// Whatever stands where the lock goes, a key release never waits for it.
// What QLockFile calls held stays held: the typed value stays pending and
// lands, with nothing typed again, once it is gone. What QLockFile calls
// stale is removed and taken at once: a link itself, never what it leads to.
void TestRememberedValues::lockJudgedAsQLockFileJudgesIt_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("stale");
    QTest::newRow("lock held by a live program") << u"live"_s << false;
    QTest::newRow("lock file is a new pipe") << u"fifo"_s << false;
    QTest::newRow("lock is a new folder") << u"folder"_s << false;
    QTest::newRow("stale lock of a dead program") << u"stale"_s << true;
    QTest::newRow("link to a stale lock of a dead program") << u"link"_s << true;
    QTest::newRow("lock is an hour-old folder") << u"oldfolder"_s << true;
    QTest::newRow("lock is an hour-old link to /dev/zero") << u"device"_s << true;
    QTest::newRow("empty lock of a writer killed while making it") << u"empty"_s << true;
}

void TestRememberedValues::lockJudgedAsQLockFileJudgesIt()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, stale);
    const QString lockPath = TestEnv::settingsFile() + u".lock"_s;
    const QByteArray lock = QFile::encodeName(lockPath);
    const QString deadLock = TestEnv::root() + u"/dead.lock"_s;
    QProcess holder;
    const auto removeObstacle = [&] {
        if (holder.state() != QProcess::NotRunning) {
            holder.write("\n");
            holder.closeWriteChannel();
            holder.waitForFinished(10000);
        }
        ::unlink(lock.constData());
        QDir(lockPath).removeRecursively();
        QFile::remove(deadLock);
    };
    const auto cleanUp = qScopeGuard(removeObstacle); // before the next init() takes the lock
    const auto makeOld = [](const QByteArray &path, int flags) {
        const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        return ::utimensat(AT_FDCWD, path.constData(), hourAgo, flags) == 0;
    };

    if (obstacle == u"fifo") {
        QVERIFY(::mkfifo(lock.constData(), 0600) == 0);
    } else if (obstacle == u"folder" || obstacle == u"oldfolder") {
        QVERIFY(QDir().mkpath(lockPath));
        QVERIFY(obstacle == u"folder" || makeOld(lock, 0));
    } else if (obstacle == u"device") {
        QVERIFY(::symlink("/dev/zero", lock.constData()) == 0);
        QVERIFY(makeOld(lock, AT_SYMLINK_NOFOLLOW));
    } else if (obstacle == u"live") {
        TestChild::start(holder, u"childLockHolder"_s, lockPath);
        QByteArray said;
        while (!said.contains("locked\n")) {
            QVERIFY2(holder.waitForReadyRead(30000), holder.readAllStandardError().constData());
            said += holder.readAllStandardOutput();
        }
    } else if (obstacle == u"stale" || obstacle == u"link") {
        // A program that has ended, and its lock with QLockFile's lines.
        QProcess gone;
        gone.start(u"true"_s);
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QVERIFY(TestEnv::write(obstacle == u"link" ? deadLock : lockPath,
                               QByteArray::number(pid) + "\ntrue\n" + QSysInfo::machineHostName().toUtf8() + '\n'
                                   + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n'));
        QVERIFY(obstacle == u"stale" || QFile::link(deadLock, lockPath));
    } else if (obstacle == u"empty") {
        QVERIFY(QFile(lockPath).open(QIODevice::WriteOnly));
        const timespec secondsAgo[2] = {{::time(nullptr) - 2, 0}, {::time(nullptr) - 2, 0}};
        QVERIFY(::utimensat(AT_FDCWD, lock.constData(), secondsAgo, 0) == 0);
    }

    RememberedValues store;
    const qint64 slowest = typeFourKeys(store);
    QVERIFY2(slowest < keyBudgetMs, qPrintable(QString::number(slowest) + u" ms"_s));
    QCOMPARE(store.value(u"txtEur"), u"42,5"_s);
    if (stale) {
        QVERIFY(!store.hasPending());
        QCOMPARE(storedValue(u"txtEur"_s), u"42,5"_s);
        QVERIFY(!QFileInfo(lockPath).isSymLink() && !QFileInfo::exists(lockPath));
        QVERIFY(obstacle != u"link" || QFileInfo::exists(deadLock)); // what the link led to stays
        return;
    }
    QVERIFY(store.hasPending());
    // The timer tries again and again; the obstacle stays, so nothing lands.
    QTest::qWait(400);
    QVERIFY(store.hasPending());
    QCOMPARE(storedValue(u"txtEur"_s), QString());

    removeObstacle();
    QTRY_VERIFY_WITH_TIMEOUT(!store.hasPending(), 5000);
    QCOMPARE(storedValue(u"txtEur"_s), u"42,5"_s);
    QVERIFY(!QFileInfo::exists(lockPath));
}

// Holds the settings lock with QLockFile, as the maker's other programs
// do, until its parent writes a line.
void TestRememberedValues::childLockHolder()
{
    const QString path = TestChild::how();
    if (!TestChild::isChild())
        QSKIP("runs only as the child of lockJudgedAsQLockFileJudgesIt");
    QLockFile lock(path);
    QVERIFY(lock.tryLock(10000));
    std::printf("locked\n");
    std::fflush(stdout);
    char line[8];
    [[maybe_unused]] const char *got = std::fgets(line, sizeof line, stdin);
    lock.unlock();
}

// The file is replaced only from a complete read of it as it stands, and
// only when it is a regular file: a read that failed at the start, a file
// this user may not read or write, a pipe in its place or behind its link
// leave it as it was, and the start never waits on it. A link to a regular
// file is written through and stays a link.
void TestRememberedValues::readBeforeWrite_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("landsAtOnce");
    QTest::newRow("no free file descriptors at the start") << u"nofds"_s << true;
    QTest::newRow("link to a regular file") << u"link"_s << true;
    QTest::newRow("file without read permission") << u"unreadable"_s << false;
    QTest::newRow("file only its owner may read") << u"readonly"_s << false;
    QTest::newRow("file of another user") << u"foreign"_s << false;
    QTest::newRow("link into a folder without write permission") << u"folder"_s << false;
    QTest::newRow("settings file is a pipe") << u"fifo"_s << false;
    QTest::newRow("settings file is a link to a pipe") << u"fifolink"_s << false;
}

void TestRememberedValues::readBeforeWrite()
{
    QFETCH(QString, damage);
    QFETCH(bool, landsAtOnce);
    const QString file = TestEnv::settingsFile();
    const QByteArray path = QFile::encodeName(file);
    const QString elsewhere = TestEnv::root() + u"/away/elsewhere.conf"_s;
    const QByteArray folder = QFile::encodeName(QFileInfo(elsewhere).path());
    const QByteArray before = "[Andere]\nx=1\n[Kartavio]\ntxtKG=5\n";
    const auto cleanUp = qScopeGuard([&] {
        ::chmod(path.constData(), 0600);
        ::chmod(folder.constData(), 0700);
        QFile::remove(elsewhere);
    });
    std::optional<AsPlainUser> plainUser;
    rlimit files {};
    QVERIFY(::getrlimit(RLIMIT_NOFILE, &files) == 0);
    const rlimit unlimited = files;
    const bool linked = damage == u"fifolink" || damage == u"link" || damage == u"folder";
    QVERIFY(QDir().mkpath(QFileInfo(elsewhere).path()));
    if (damage == u"fifo" || damage == u"fifolink")
        QVERIFY(::mkfifo(QFile::encodeName(damage == u"fifo" ? file : elsewhere).constData(), 0600) == 0);
    else
        QVERIFY(TestEnv::write(linked ? elsewhere : file, before));
    if (linked)
        QVERIFY(QFile::link(elsewhere, file));
    if (damage == u"foreign" && ::chown(path.constData(), 65534, 65534) != 0)
        QSKIP("only root can give a file to another user");
    if (damage == u"readonly")
        QVERIFY(::chmod(path.constData(), 0400) == 0);
    if (damage == u"unreadable" || damage == u"folder" || damage == u"foreign") {
        QVERIFY(damage == u"folder" ? ::chmod(folder.constData(), 0500) == 0
                                    : ::chmod(path.constData(), damage == u"unreadable" ? 0200 : 0644) == 0);
        plainUser.emplace();
    }
    if (damage == u"nofds") {
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        files.rlim_cur = rlim_t(lowestFree); // no new one to be had
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &files) == 0);
    }
    QElapsedTimer clock;
    clock.start();
    RememberedValues store;
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed()) + u" ms"_s));
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &unlimited) == 0);

    store.setValue(u"txtM", u"42"_s);
    if (!landsAtOnce) {
        QVERIFY(store.hasPending());
        QTest::qWait(200);
        QVERIFY(store.hasPending());
        if (damage.startsWith(u"fifo")) {
            QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile());
            return;
        }
        plainUser.reset();
        QCOMPARE(TestEnv::contents(file), before);
        QCOMPARE(QDir(QFileInfo(elsewhere).path()).entryList(QDir::Files).size(), linked ? 1 : 0);
        if (damage == u"readonly" || damage == u"foreign")
            return;
        QVERIFY(::chmod(path.constData(), 0600) == 0 && ::chmod(folder.constData(), 0700) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!store.hasPending(), 5000);
    }
    QVERIFY(!store.hasPending());
    QCOMPARE(QFileInfo(file).isSymLink(), linked);
    const QMap<QString, QVariant> after = readIni(settingsBytes());
    QCOMPARE(after.value(u"Andere/x"_s).toString(), u"1"_s);
    QCOMPARE(after.value(u"Kartavio/txtKG"_s).toString(), u"5"_s);
    QCOMPARE(after.value(u"Kartavio/txtM"_s).toString(), u"42"_s);
}

// The disk is full while a value is typed (a file-size limit stands in for
// it): the old file stays byte for byte, with no part of the new one left
// beside it, and once there is room again the value lands without further
// typing.
void TestRememberedValues::diskFullThenFree()
{
    const QString letter = u"Grüße aus Boston! "_s.repeated(400); // about 8 KB in the file
    RememberedValues store;
    store.setValue(u"txtM", u"10"_s);
    QVERIFY(!store.hasPending());
    struct sigaction ignore {};
    struct sigaction before {};
    ignore.sa_handler = SIG_IGN;
    QVERIFY(::sigaction(SIGXFSZ, &ignore, &before) == 0);
    rlimit limit {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const rlimit unlimited = limit;
    const auto cleanUp = qScopeGuard([&] {
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        ::sigaction(SIGXFSZ, &before, nullptr);
    });
    limit.rlim_cur = 4096; // the letter does not fit, the lock file does
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);

    const QByteArray old = settingsBytes();
    const QStringList filesBefore = QDir(TestEnv::root() + u"/config"_s).entryList(QDir::Files);
    store.setValue(u"txtTrans", letter);
    QVERIFY(store.hasPending());
    QTest::qWait(300);
    QVERIFY(store.hasPending());
    QCOMPARE(settingsBytes(), old);
    QCOMPARE(QDir(TestEnv::root() + u"/config"_s).entryList(QDir::Files), filesBefore);

    QVERIFY(::setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!store.hasPending(), 5000);
    QCOMPARE(storedValue(u"txtTrans"_s), letter);
    QCOMPARE(storedValue(u"txtM"_s), u"10"_s);
}

// The store decides where a section starts and ends as QSettings
// does. For each file, what QSettings reads from every other section is the
// same before and after the store writes; what QSettings read from ours
// before is what the store holds; and the typed values read back exactly.
void TestRememberedValues::sectionsReadAsQSettingsReadsThem_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("kept"); // the other sections, byte for byte after ours, where given
    QTest::newRow("sections around ours")
        << QByteArray("[General]\nfoo=bar\n\n[Kartavio]\ntxtM=1\n\n[Other]\nx=\"a, b\"\n[Kartavio]\ntxtKG=2\n")
        << QByteArray("\n[General]\nfoo=bar\n\n[Other]\nx=\"a, b\"\n");
    QTest::newRow("keys before any header, no line end at the end")
        << QByteArray("\nfoo=bar\n[Other]\ny=1") << QByteArray("\n[General]\nfoo=bar\n[Other]\ny=1");
    QTest::newRow("stray lines in ours, odd lines in others")
        << QByteArray("[Other]\r\nkey = spaced ; c\r\n# comment\r\n[Kartavio]\n# stray\nno equals\ntxtM=1\n[Z]\nz")
        << QByteArray("\n[Other]\r\nkey = spaced ; c\r\n# comment\r\n[Z]\nz");
    QTest::newRow("blanks in our header") << QByteArray("[ Kartavio ]\ntxtM=999\ntxtKG=5\n[Andere]\nx=1\n") << QByteArray();
    QTest::newRow("our header unclosed") << QByteArray("[Kartavio\ntxtM=999\n[Andere]\nx=1\n") << QByteArray();
    QTest::newRow("header with text after it") << QByteArray("[Kartavio] alt\ntxtM=999\n[Andere]\nx=1\n") << QByteArray();
    QTest::newRow("continued line before a header")
        << QByteArray("[Andere]\nnote=abc\\\n[Kartavio]\nlicenseKey=K-123\n[Kartavio]\ntxtM=999\n") << QByteArray();
    QTest::newRow("continued line, CRLF") << QByteArray("[Andere]\r\nnote=abc\\\r\n[Kartavio]\r\nlicenseKey=K-1\r\n") << QByteArray();
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Kartavio]\ntxtM=999\ntxtKG=7\n[Andere]\nx=1\n") << QByteArray();
    QTest::newRow("byte order mark, keys before any header")
        << QByteArray("\xEF\xBB\xBFtop=1\n[Kartavio]\ntxtM=999\n[Andere]\nx=1\n") << QByteArray();
    QTest::newRow("duplicate sections")
        << QByteArray("[Kartavio]\ntxtM=1\n[Andere]\na=1\n[Kartavio]\ntxtKG=2\n[Andere]\nb=2\na=3\n") << QByteArray();
    QTest::newRow("%General and General") << QByteArray("[%General]\nx=1\n[General]\ny=2\n[Kartavio]\ntxtM=3\n[general]\nz=3\n") << QByteArray();
    QTest::newRow("CRLF") << QByteArray("[Andere]\r\nx=1\r\n[Kartavio]\r\ntxtM=3\r\n[Noch]\r\ny=2\r\n") << QByteArray();
    QTest::newRow("CR alone") << QByteArray("[Andere]\rx=1\r[Kartavio]\rtxtM=3\r[Noch]\ry=2") << QByteArray();
    QTest::newRow("escaped header") << QByteArray("[Kart%61vio]\ntxtM=999\n[Andere]\nx=1\n[Kartavio%2Fsub]\ny=2\n") << QByteArray();
    QTest::newRow("quoted line end swallows a header")
        << QByteArray("[Andere]\nx=\"a\n[Kartavio]\ntxtM=999\n\"\ny=2\n[Kartavio]\ntxtKG=4\n") << QByteArray();
    QTest::newRow("quoted and escaped keys")
        << QByteArray("[Andere]\n\"a=b\"=1\nk%20ey=2\nsub\\key=3\n[Kartavio]\ntxtM=3\n") << QByteArray();
    QTest::newRow("comments and stray lines") << QByteArray(
        "[Andere]\n;[Kartavio]\nx=1 ;[Kartavio]\n  ; [Kartavio]\n[Kartavio]\n# Kommentar\nkaputt\ntxtM=3\ntxtKG=5\n")
        << QByteArray();
    QTest::newRow("keys before any header") << QByteArray("\n\na=1\nb=2\n[Kartavio]\ntxtM=3\n") << QByteArray();
    QTest::newRow("subgroups in ours") << QByteArray("[Kartavio]\nsub\\key=1\ntxtM=999\nx%2Fy=\"2;\"\n[Andere]\na=1\n") << QByteArray();
    QTest::newRow("case of the name") << QByteArray("[kartavio]\ntxtM=7\n[Kartavio]\ntxtM=3\n") << QByteArray();
    QTest::newRow("our key from the top level") << QByteArray("[General]\nKartavio\\txtKG=8\nother=1\n[Kartavio]\ntxtM=3\n") << QByteArray();
    QTest::newRow("unclosed quote at the end") << QByteArray("[Kartavio]\ntxtM=3\n[Andere]\nx=\"open\n") << QByteArray();
    QTest::newRow("no line end at the end") << QByteArray("[Andere]\nx=1\n[Kartavio]\ntxtM=3") << QByteArray();
    QTest::newRow("random bytes") << TestEnv::junk(1616, 2048) << QByteArray();
}

void TestRememberedValues::sectionsReadAsQSettingsReadsThem()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, kept);
    QVERIFY(TestEnv::write(TestEnv::settingsFile(), before));
    const QMap<QString, QVariant> readBefore = readIni(before);
    const QMap<QString, QVariant> oursBefore = readIni(before, u"Kartavio"_s);
    RememberedValues store;
    for (auto it = oursBefore.cbegin(); it != oursBefore.cend(); ++it)
        QCOMPARE(store.value(it.key()), it.value().toString());
    const QString typed = u"a;b \"c\"\n[Kartavio]\\ = %"_s;
    store.setValue(u"txtM", u"42"_s);
    store.setValue(u"txtTrans", typed);
    QVERIFY(!store.hasPending());

    const QByteArray written = settingsBytes();
    QVERIFY(written.endsWith(kept));
    const QMap<QString, QVariant> readAfter = readIni(written);
    QCOMPARE(othersOf(readAfter), othersOf(readBefore));
    QCOMPARE(readAfter.value(u"Kartavio/txtM"_s).toString(), u"42"_s);
    QCOMPARE(readAfter.value(u"Kartavio/txtTrans"_s).toString(), typed);
    const QMap<QString, QVariant> oursAfter = readIni(written, u"Kartavio"_s);
    for (auto it = oursBefore.cbegin(); it != oursBefore.cend(); ++it) {
        if (it.key() != u"txtM" && it.key() != u"txtTrans")
            QCOMPARE(oursAfter.value(it.key()), it.value());
    }
    // And the next start reads the same.
    RememberedValues again;
    QCOMPARE(again.value(u"txtM"), u"42"_s);
    QCOMPARE(again.value(u"txtTrans"), typed);
}

// The same over many files made of the pieces that trouble a reader.
void TestRememberedValues::oddFilesReadAsQSettingsReadsThem()
{
    static const std::array<QByteArray, 26> pieces = {
        "[", "]", "Kartavio", "Andere", " ", "\n", "\r\n", "\r", "\\", "\"", ";", "=", "x", "%4", "%61",
        "General", "%General", "txtM=999\n", "\xEF\xBB\xBF", "k=v\n", "[Kartavio]\n", "[Andere]\n",
        "a=\"", "\t", "[ Kartavio ]\n", "note=abc\\\n"};
    QRandomGenerator random(20261216);
    for (int round = 0; round < 500; ++round) {
        QByteArray before;
        const int count = 3 + int(random.bounded(30));
        for (int i = 0; i < count; ++i)
            before += pieces[random.bounded(int(pieces.size()))];
        QVERIFY(TestEnv::write(TestEnv::settingsFile(), before));
        const QMap<QString, QVariant> readBefore = readIni(before);
        RememberedValues store;
        store.setValue(u"txtM", u"42"_s);
        QVERIFY(!store.hasPending());
        const QMap<QString, QVariant> readAfter = readIni(settingsBytes());
        const QString file = QString::fromLatin1(before.toPercentEncoding(" []=;\"\\"));
        QVERIFY2(othersOf(readAfter) == othersOf(readBefore), qPrintable(file));
        QVERIFY2(readAfter.value(u"Kartavio/txtM"_s).toString() == u"42"_s, qPrintable(file));
    }
}

QTEST_MAIN(TestRememberedValues)
#include "tst_rememberedvalues.moc"
