#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"
#include "settings/settingskeys.h"
#include "panels/currencypanel.h"
#include "panels/unitspanel.h"
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
#include <QThread>

#include <algorithm>
#include <array>
#include <csignal>
#include <functional>
#include <type_traits>
#include <cstdio>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The settings store: addressing, round trips, and that a write is on disk
// before it returns, even when the process dies right after it.
class TestRememberedValues final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void loadAndSave_data();
    void loadAndSave();
    void survivesSigkillWhileTyping();
    void childTypist();
    void parallelWritersLoseNothing_data();
    void parallelWritersLoseNothing();
    void childParallel();
    void keyReleaseNeverWaits_data();
    void keyReleaseNeverWaits();
    void childLockHolder();
    void diskFullThenFree_data();
    void diskFullThenFree();
    void sigtermWritesPending();
    void childPending();
    void sectionsReadAsQSettingsReadsThem_data();
    void sectionsReadAsQSettingsReadsThem();
    void oddFilesReadAsQSettingsReadsThem();

private:
    // A child is this test program again, running one of the child functions
    // with its instructions in KARTAVIO_CHILD.
    static bool isChild() { return qEnvironmentVariableIsSet("KARTAVIO_CHILD"); }
    static QString how() { return qEnvironmentVariable("KARTAVIO_CHILD"); }
    static void startChild(QProcess &child, const QString &function, const QString &instructions)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KARTAVIO_CHILD"_s, instructions);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {function});
    }
};

void TestRememberedValues::initTestCase()
{
    if (isChild())
        return; // the child keeps the parent's folders
    TestEnv::isolate();
}

void TestRememberedValues::init()
{
    if (!isChild())
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

namespace {

// What the typing child has reported so far.
struct TypingLog
{
    QHash<QString, QString> printed; // box -> its text after its last release
    QString announcedBox;            // the box of a key not yet reported released
    QString announcedText;           // the text that key gives
    int releases = 0;

    // Takes the complete lines of `pending` and leaves a partial last one.
    void take(QByteArray &pending, const QStringList &boxes)
    {
        qsizetype newline;
        while ((newline = pending.indexOf('\n')) >= 0) {
            const QStringList parts = QString::fromUtf8(pending.left(newline)).split(u' ');
            pending.remove(0, newline + 1);
            if (parts.size() != 3 || !boxes.contains(parts[1]))
                continue;
            if (parts[0] == u"next") {
                announcedBox = parts[1];
                announcedText = parts[2];
            } else if (parts[0] == u"released") {
                printed[parts[1]] = parts[2];
                announcedBox.clear();
                ++releases;
            }
        }
    }
};

} // namespace

// Runs this test binary again as a child that types into real boxes of real
// panels (txtM of the unit panel, txtEur of the currency panel). Before each
// key it prints the box and the text the key will give, after the key's
// release handler has returned the box and its text. The parent kills it at
// random moments. The handler stores its box before it returns, so the store
// holds, for each box, the last text printed after a release, except for the
// box announced last: its release may have been stored but not yet printed.
void TestRememberedValues::survivesSigkillWhileTyping()
{
    const QStringList boxes = {u"txtM"_s, u"txtEur"_s};
    QRandomGenerator random(20261208);
    for (int round = 0; round < 6; ++round) {
        TestEnv::clearSettings();
        QProcess child;
        startChild(child, u"childTypist"_s, QString::number(random.generate()));
        QVERIFY(child.waitForStarted());

        const int killAfter = 3 + int(random.bounded(60));
        TypingLog log;
        QByteArray pending;
        while (log.releases < killAfter) {
            // Generous: a sync to disk can stall for seconds on a busy machine.
            QVERIFY2(child.waitForReadyRead(60000), child.readAllStandardError().constData());
            pending += child.readAllStandardOutput();
            log.take(pending, boxes);
        }
        // Lands anywhere in the next few keys: before, inside or after a handler.
        QThread::usleep(random.bounded(20000));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
        pending += child.readAllStandardOutput();
        log.take(pending, boxes);

        QSettings reader(TestEnv::settingsFile(), QSettings::IniFormat);
        QCOMPARE(reader.status(), QSettings::NoError);
        for (const QString &box : boxes) {
            const QString stored = reader.value(u"Kartavio/"_s + box).toString();
            QStringList allowed = {log.printed.value(box)};
            if (box == log.announcedBox)
                allowed.append(log.announcedText);
            QVERIFY2(allowed.contains(stored), qPrintable(u"round %1, %2: stored \"%3\", expected one of \"%4\""_s.arg(
                                                   QString::number(round), box, stored, allowed.join(u"\", \""_s))));
        }
    }
}

void TestRememberedValues::childTypist()
{
    if (!isChild())
        QSKIP("runs only as the child of survivesSigkillWhileTyping");
    RememberedValues store;
    const PanelContext context{store, [] { return 1.2345; }, u"http://www.kartavio.example/"_s};
    UnitsPanel units(context);
    CurrencyPanel currency(context);
    units.show();
    currency.show();
    const std::array<QLineEdit *, 2> boxes = {units.findChild<QLineEdit *>(u"txtM"_s),
                                              currency.findChild<QLineEdit *>(u"txtEur"_s)};
    for (QLineEdit *box : boxes) {
        QVERIFY(box);
        box->clear();
    }

    QRandomGenerator random(how().toUInt());
    static constexpr char keys[] = "0123456789,\b";
    for (int i = 0; i < 100000; ++i) {
        QLineEdit *box = boxes[random.bounded(2)];
        const QString before = box->text();
        char key = keys[random.bounded(int(sizeof keys) - 1)];
        if (before.size() >= 9)
            key = '\b';
        const QString after = key == '\b' ? before.chopped(before.isEmpty() ? 0 : 1) : before + QLatin1Char(key);
        std::printf("next %s %s\n", qPrintable(box->objectName()), qPrintable(after));
        std::fflush(stdout);
        if (key == '\b')
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClick(box, key);
        QCOMPARE(box->text(), after);
        std::printf("released %s %s\n", qPrintable(box->objectName()), qPrintable(box->text()));
        std::fflush(stdout);
    }
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
        startChild(children[i], u"childParallel"_s, plans[qsizetype(i)]);
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
    const QStringList plan = how().split(u':');
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

// Far below the second a waited-for lock took, far above a key release.
constexpr qint64 keyBudgetMs = 250;

} // namespace

// Whatever stands where the lock goes, a key release never waits
// for it; the typed value stays pending and lands, with nothing typed
// again, once the obstacle is gone. A stale lock of a dead program is
// taken over at once, as QLockFile takes it over.
void TestRememberedValues::keyReleaseNeverWaits_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("lock file is a pipe") << u"fifo"_s;
    QTest::newRow("lock file is a link to /dev/zero") << u"link"_s;
    QTest::newRow("lock file is an hour-old folder") << u"folder"_s;
    QTest::newRow("lock held by a live program") << u"live"_s;
    QTest::newRow("stale lock of a dead program") << u"stale"_s;
    QTest::newRow("empty lock of a writer killed while making it") << u"empty"_s;
}

void TestRememberedValues::keyReleaseNeverWaits()
{
    QFETCH(QString, obstacle);
    const QString lockPath = TestEnv::settingsFile() + u".lock"_s;
    const QByteArray lock = QFile::encodeName(lockPath);
    QProcess holder;
    const auto removeObstacle = [&] {
        if (holder.state() != QProcess::NotRunning) {
            holder.write("\n");
            holder.closeWriteChannel();
            holder.waitForFinished(10000);
        }
        ::unlink(lock.constData());
        QDir(lockPath).removeRecursively();
    };
    const auto cleanUp = qScopeGuard(removeObstacle); // before the next init() takes the lock

    if (obstacle == u"fifo") {
        QVERIFY(::mkfifo(lock.constData(), 0600) == 0);
    } else if (obstacle == u"link") {
        QVERIFY(::symlink("/dev/zero", lock.constData()) == 0);
    } else if (obstacle == u"folder") {
        QVERIFY(QDir().mkpath(lockPath + u"/inside"_s));
        const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        QVERIFY(::utimensat(AT_FDCWD, lock.constData(), hourAgo, 0) == 0);
    } else if (obstacle == u"live") {
        startChild(holder, u"childLockHolder"_s, lockPath);
        QByteArray said;
        while (!said.contains("locked\n")) {
            QVERIFY2(holder.waitForReadyRead(30000), holder.readAllStandardError().constData());
            said += holder.readAllStandardOutput();
        }
    } else if (obstacle == u"stale") {
        // A program that has ended, and its lock with QLockFile's lines.
        QProcess gone;
        gone.start(u"true"_s);
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\ntrue\n" + QSysInfo::machineHostName().toUtf8() + '\n'
                   + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n');
    } else if (obstacle == u"empty") {
        QVERIFY(QFile(lockPath).open(QIODevice::WriteOnly));
        const timespec secondsAgo[2] = {{::time(nullptr) - 2, 0}, {::time(nullptr) - 2, 0}};
        QVERIFY(::utimensat(AT_FDCWD, lock.constData(), secondsAgo, 0) == 0);
    }

    RememberedValues store;
    const qint64 slowest = typeFourKeys(store);
    QVERIFY2(slowest < keyBudgetMs, qPrintable(QString::number(slowest) + u" ms"_s));
    QCOMPARE(store.value(u"txtEur"), u"42,5"_s);
    if (obstacle == u"stale" || obstacle == u"empty") {
        QVERIFY(!store.hasPending());
        QCOMPARE(storedValue(u"txtEur"_s), u"42,5"_s);
        QVERIFY(!QFileInfo::exists(lockPath));
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
    const QString path = how();
    if (!isChild())
        QSKIP("runs only as the child of keyReleaseNeverWaits");
    QLockFile lock(path);
    QVERIFY(lock.tryLock(10000));
    std::printf("locked\n");
    std::fflush(stdout);
    char line[8];
    [[maybe_unused]] const char *got = std::fgets(line, sizeof line, stdin);
    lock.unlock();
}

// The disk is full while a value is typed; once there is room again, the
// value lands without further typing. A small tmpfs where one can be
// mounted (root with CAP_SYS_ADMIN), and always a file-size limit.
void TestRememberedValues::diskFullThenFree_data()
{
    QTest::addColumn<bool>("tmpfs");
    QTest::newRow("full tmpfs") << true;
    QTest::newRow("file-size limit") << false;
}

void TestRememberedValues::diskFullThenFree()
{
    QFETCH(bool, tmpfs);
    const QString letter = u"Grüße aus Boston! "_s.repeated(400); // about 8 KB in the file
    const QString small = TestEnv::root() + u"/small"_s;
    const QByteArray smallPath = QFile::encodeName(small);
    QList<std::function<void()>> undo;
    const auto cleanUp = qScopeGuard([&undo] {
        for (qsizetype i = undo.size() - 1; i >= 0; --i)
            undo[i]();
    });
    std::function<void()> makeRoom;

    RememberedValues store;
    store.setValue(u"txtM", u"10"_s);
    QVERIFY(!store.hasPending());
    if (tmpfs) {
        QVERIFY(QDir().mkpath(small));
        undo.append([small] { QDir(small).removeRecursively(); });
        if (::mount("tmpfs", smallPath.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs can be mounted here; the file-size limit row fills the disk instead");
        undo.append([smallPath] { ::umount2(smallPath.constData(), MNT_DETACH); });
        // The settings file is a link into the small disk: written through.
        QVERIFY(QFile::rename(TestEnv::settingsFile(), small + u"/Kelvara.conf"_s));
        QVERIFY(QFile::link(small + u"/Kelvara.conf"_s, TestEnv::settingsFile()));
        undo.append([] { QFile::remove(TestEnv::settingsFile()); });
        QFile filler(small + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
        makeRoom = [small] { QFile::remove(small + u"/filler"_s); };
    } else {
        struct sigaction ignore {};
        struct sigaction before {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        QVERIFY(::sigaction(SIGXFSZ, &ignore, &before) == 0);
        undo.append([before] { ::sigaction(SIGXFSZ, &before, nullptr); });
        rlimit limit {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit unlimited = limit;
        undo.append([unlimited] { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
        limit.rlim_cur = 4096; // the letter does not fit, the lock file does
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        makeRoom = [unlimited] { ::setrlimit(RLIMIT_FSIZE, &unlimited); };
    }

    const QByteArray before = TestEnv::contents(TestEnv::settingsFile());
    const QString folder = QFileInfo(QFileInfo(TestEnv::settingsFile()).canonicalFilePath()).path();
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files);
    QElapsedTimer clock;
    clock.start();
    store.setValue(u"txtTrans", letter);
    QVERIFY2(clock.elapsed() < keyBudgetMs, qPrintable(QString::number(clock.elapsed()) + u" ms"_s));
    QVERIFY(store.hasPending());
    QTest::qWait(300);
    QVERIFY(store.hasPending());
    // The write cut half-way left the old file byte for byte, and no part of the new one.
    QCOMPARE(TestEnv::contents(TestEnv::settingsFile()), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), filesBefore);

    makeRoom();
    QTRY_VERIFY_WITH_TIMEOUT(!store.hasPending(), 5000);
    QCOMPARE(storedValue(u"txtTrans"_s), letter);
    QCOMPARE(storedValue(u"txtM"_s), u"10"_s);
}

// SIGTERM (logout, shutdown) while a value waits for another program's
// lock: the value is written before the program ends, and it still ends by
// the signal.
void TestRememberedValues::sigtermWritesPending()
{
    QLockFile held(TestEnv::settingsFile() + u".lock"_s);
    QVERIFY(held.tryLock(0));
    QProcess child;
    startChild(child, u"childPending"_s, u"1"_s);
    QVERIFY(child.waitForStarted());
    QByteArray out;
    while (!out.contains("pending\n")) {
        QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
        out += child.readAllStandardOutput();
    }
    QCOMPARE(storedValue(u"txtEur"_s), QString());
    QVERIFY(::kill(pid_t(child.processId()), SIGTERM) == 0);
    QThread::msleep(300); // the ending child waits a moment for the lock
    held.unlock();
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit); // ended by the signal, as before
    QCOMPARE(storedValue(u"txtEur"_s), u"42"_s);
}

void TestRememberedValues::childPending()
{
    if (!isChild())
        QSKIP("runs only as the child of sigtermWritesPending");
    // As in the program, whose SIGTERM has its default action.
    std::signal(SIGTERM, SIG_DFL);
    RememberedValues store;
    store.setValue(u"txtEur", u"42"_s);
    QVERIFY(store.hasPending());
    std::printf("pending\n");
    std::fflush(stdout);
    QTest::qWait(30000);
    QFAIL("SIGTERM did not end the program");
}

// The store decides where a section starts and ends as QSettings
// does. For each file, what QSettings reads from every other section is the
// same before and after the store writes; what QSettings read from ours
// before is what the store holds; and the typed values read back exactly.
void TestRememberedValues::sectionsReadAsQSettingsReadsThem_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("blanks in our header") << QByteArray("[ Kartavio ]\ntxtM=999\ntxtKG=5\n[Andere]\nx=1\n");
    QTest::newRow("our header unclosed") << QByteArray("[Kartavio\ntxtM=999\n[Andere]\nx=1\n");
    QTest::newRow("header with text after it") << QByteArray("[Kartavio] alt\ntxtM=999\n[Andere]\nx=1\n");
    QTest::newRow("continued line before a header")
        << QByteArray("[Andere]\nnote=abc\\\n[Kartavio]\nlicenseKey=K-123\n[Kartavio]\ntxtM=999\n");
    QTest::newRow("continued line, CRLF") << QByteArray("[Andere]\r\nnote=abc\\\r\n[Kartavio]\r\nlicenseKey=K-1\r\n");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Kartavio]\ntxtM=999\ntxtKG=7\n[Andere]\nx=1\n");
    QTest::newRow("byte order mark, keys before any header")
        << QByteArray("\xEF\xBB\xBFtop=1\n[Kartavio]\ntxtM=999\n[Andere]\nx=1\n");
    QTest::newRow("duplicate sections")
        << QByteArray("[Kartavio]\ntxtM=1\n[Andere]\na=1\n[Kartavio]\ntxtKG=2\n[Andere]\nb=2\na=3\n");
    QTest::newRow("%General and General") << QByteArray("[%General]\nx=1\n[General]\ny=2\n[Kartavio]\ntxtM=3\n[general]\nz=3\n");
    QTest::newRow("CRLF") << QByteArray("[Andere]\r\nx=1\r\n[Kartavio]\r\ntxtM=3\r\n[Noch]\r\ny=2\r\n");
    QTest::newRow("CR alone") << QByteArray("[Andere]\rx=1\r[Kartavio]\rtxtM=3\r[Noch]\ry=2");
    QTest::newRow("escaped header") << QByteArray("[Kart%61vio]\ntxtM=999\n[Andere]\nx=1\n[Kartavio%2Fsub]\ny=2\n");
    QTest::newRow("quoted line end swallows a header")
        << QByteArray("[Andere]\nx=\"a\n[Kartavio]\ntxtM=999\n\"\ny=2\n[Kartavio]\ntxtKG=4\n");
    QTest::newRow("quoted and escaped keys")
        << QByteArray("[Andere]\n\"a=b\"=1\nk%20ey=2\nsub\\key=3\n[Kartavio]\ntxtM=3\n");
    QTest::newRow("comments and stray lines") << QByteArray(
        "[Andere]\n;[Kartavio]\nx=1 ;[Kartavio]\n  ; [Kartavio]\n[Kartavio]\n# Kommentar\nkaputt\ntxtM=3\ntxtKG=5\n");
    QTest::newRow("keys before any header") << QByteArray("\n\na=1\nb=2\n[Kartavio]\ntxtM=3\n");
    QTest::newRow("subgroups in ours") << QByteArray("[Kartavio]\nsub\\key=1\ntxtM=999\nx%2Fy=\"2;\"\n[Andere]\na=1\n");
    QTest::newRow("case of the name") << QByteArray("[kartavio]\ntxtM=7\n[Kartavio]\ntxtM=3\n");
    QTest::newRow("our key from the top level") << QByteArray("[General]\nKartavio\\txtKG=8\nother=1\n[Kartavio]\ntxtM=3\n");
    QTest::newRow("unclosed quote at the end") << QByteArray("[Kartavio]\ntxtM=3\n[Andere]\nx=\"open\n");
    QTest::newRow("no line end at the end") << QByteArray("[Andere]\nx=1\n[Kartavio]\ntxtM=3");
    QTest::newRow("random bytes") << TestEnv::junk(1616, 2048);
}

void TestRememberedValues::sectionsReadAsQSettingsReadsThem()
{
    QFETCH(QByteArray, before);
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
