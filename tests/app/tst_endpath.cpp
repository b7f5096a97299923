#include "app/endpath.h"
#include "settings/rememberedvalues.h"
#include "helpers/testchild.h"
#include "helpers/testenv.h"

#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace Qt::StringLiterals;

// However the program ends while a typed value waits for another program's
// lock, the value is written first, and the program still ends as it would
// have: signals in any order, or the display going away.
class TestEndPath final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pendingWrittenAtTheEnd_data();
    void pendingWrittenAtTheEnd();
    void childPending();
};

void TestEndPath::initTestCase()
{
    if (!TestChild::isChild())
        TestEnv::isolate();
}

void TestEndPath::pendingWrittenAtTheEnd_data()
{
    QTest::addColumn<QList<int>>("sent"); // signals, 10 ms apart
    QTest::newRow("SIGTERM, then SIGHUP (logout)") << QList<int>{SIGTERM, SIGHUP};
    QTest::newRow("SIGHUP, then SIGTERM (terminal closed)") << QList<int>{SIGHUP, SIGTERM};
    QTest::newRow("the display server goes away") << QList<int>{};
}

void TestEndPath::pendingWrittenAtTheEnd()
{
    QFETCH(QList<int>, sent);
    TestEnv::clearSettings();
    QVERIFY(TestEnv::write(TestEnv::settingsFile(), "[Andere]\nx=1\n"));
    QLockFile held(TestEnv::settingsFile() + u".lock"_s);
    QVERIFY(held.tryLock(0));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess display;
    if (sent.isEmpty()) {
        display.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-screen"_s, u"0"_s, u"320x240x24"_s});
        QVERIFY2(display.waitForReadyRead(20000), "Xvfb did not start");
        env.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(display.readAllStandardOutput().trimmed()));
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    }
    QProcess child;
    child.setProcessEnvironment(env);
    TestChild::start(child, u"childPending"_s);
    QByteArray out;
    while (!out.contains("pending\n")) {
        QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
        out += child.readAllStandardOutput();
    }
    for (const int signal : std::as_const(sent)) {
        QVERIFY(::kill(pid_t(child.processId()), signal) == 0);
        QThread::msleep(10);
    }
    if (sent.isEmpty())
        display.kill();
    QThread::msleep(300); // the ending child waits for the lock, never takes it
    QCOMPARE(TestEnv::storedValue(u"txtEur"_s), QString());
    held.unlock();
    QVERIFY(child.waitForFinished(20000));
    if (!sent.isEmpty()) {
        // Ended by the first signal, as without a value pending.
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), sent.first());
    }
    QCOMPARE(TestEnv::storedValue(u"txtEur"_s), u"42"_s);
    QCOMPARE(TestEnv::readIni(TestEnv::contents(TestEnv::settingsFile())).value(u"Andere/x"_s).toString(), u"1"_s);
}

void TestEndPath::childPending()
{
    if (!TestChild::isChild())
        QSKIP("runs only as the child of pendingWrittenAtTheEnd");
    // As in the program, where these end it by default.
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        std::signal(signal, SIG_DFL);
    RememberedValues store;
    const EndPath endPath(store);
    store.setValue(u"txtEur", u"42"_s);
    QVERIFY(store.hasPending());
    std::printf("pending\n");
    std::fflush(stdout);
    QTest::qWait(30000);
    QFAIL("the program did not end");
}

QTEST_MAIN(TestEndPath)
#include "tst_endpath.moc"
