#include "app/rememberedvalues.h"
#include "app/settingskeys.h"
#include "helpers/testenv.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// The settings store: addressing, round trips, and that a write is on disk
// before it returns, even when the process dies right after it.
class TestRememberedValues final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void roundTrip_data();
    void roundTrip();
    void emptyOrMissingLeavesBox();
    void fileLayout();
    void programWriteOfLoaderRunsTextChange();
    void plainTextBox();
    void survivesSigkill();
    void childWriter();
};

void TestRememberedValues::initTestCase()
{
    if (qEnvironmentVariableIsSet("KARTAVIO_CHILD_WRITER"))
        return; // the child keeps the parent's folders
    TestEnv::isolate();
}

void TestRememberedValues::init()
{
    if (!qEnvironmentVariableIsSet("KARTAVIO_CHILD_WRITER"))
        TestEnv::clearSettings();
}

void TestRememberedValues::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("number as typed") << u"txtKM"_s << u"12,5"_s;
    QTest::newRow("unreadable number") << u"txtM"_s << u"abc"_s;
    QTest::newRow("group separators") << u"txtEur"_s << u"1.234,56"_s;
    QTest::newRow("umlauts and symbols") << u"txtTrans"_s << u"Grüße & \"Tschüß\" = 100 % ; # [x]"_s;
    QTest::newRow("line break") << u"txtTrans"_s << u"eins\nzwei"_s;
    QTest::newRow("leading blanks kept") << u"txtCelsius"_s << u"  30 "_s;
}

void TestRememberedValues::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    {
        RememberedValues store;
        QLineEdit box(text);
        box.setObjectName(name);
        store.save(&box);
    }
    RememberedValues again;
    QLineEdit restored(u"1,00"_s);
    restored.setObjectName(name);
    again.load(&restored);
    QCOMPARE(restored.text(), text);
    QCOMPARE(again.value(name), text);
}

void TestRememberedValues::emptyOrMissingLeavesBox()
{
    RememberedValues store;
    QLineEdit box(u"60,00"_s);
    box.setObjectName(u"txtTrinkgeld"_s);
    store.load(&box);
    QCOMPARE(box.text(), u"60,00"_s); // missing key

    box.clear();
    store.save(&box);
    QCOMPARE(store.value(u"txtTrinkgeld"), QString());
    box.setText(u"60,00"_s);
    store.load(&box);
    QCOMPARE(box.text(), u"60,00"_s); // empty value reads like a missing one
}

void TestRememberedValues::fileLayout()
{
    RememberedValues store;
    store.setValue(SettingsKeys::tipSlider, u"20"_s);
    // Another reader of the same file, addressed by organization, section, key.
    QSettings reader(QSettings::NativeFormat, QSettings::UserScope, u"Kelvara"_s);
    QCOMPARE(reader.fileName(), TestEnv::settingsFile());
    QCOMPARE(reader.value(u"Kartavio/scrTrinkgeld"_s).toString(), u"20"_s);
    QFile file(TestEnv::settingsFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY2(content.contains("[Kartavio]"), content.constData());
    QVERIFY2(content.contains("scrTrinkgeld=20"), content.constData());
}

void TestRememberedValues::programWriteOfLoaderRunsTextChange()
{
    RememberedValues store;
    store.setValue(u"txtR", u"5"_s);
    QLineEdit box(u"3"_s);
    box.setObjectName(u"txtR"_s);
    int changes = 0;
    connect(&box, &QLineEdit::textChanged, this, [&changes] { ++changes; });
    store.load(&box);
    QCOMPARE(box.text(), u"5"_s);
    QCOMPARE(changes, 1);
}

void TestRememberedValues::plainTextBox()
{
    RememberedValues store;
    QPlainTextEdit box(u"Hallo\nWelt"_s);
    box.setObjectName(u"txtTrans"_s);
    store.save(&box);
    QPlainTextEdit restored;
    restored.setObjectName(u"txtTrans"_s);
    store.load(&restored);
    QCOMPARE(restored.toPlainText(), u"Hallo\nWelt"_s);
}

// Runs this test binary again as a child that stores 1, 2, 3, ... and prints
// each number once its write has returned; kills it at a random moment; the
// file must then be readable and hold the last number printed, or the next.
void TestRememberedValues::survivesSigkill()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 6; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KARTAVIO_CHILD_WRITER"_s, u"1"_s);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {u"childWriter"_s});
        QVERIFY(child.waitForStarted());

        const int killAfter = 5 + int(random.bounded(100));
        int lastPrinted = 0;
        QByteArray pending;
        while (lastPrinted < killAfter) {
            // Generous: a sync to disk can stall for seconds on a busy machine.
            QVERIFY2(child.waitForReadyRead(60000), child.readAllStandardError().constData());
            pending += child.readAllStandardOutput();
            qsizetype newline;
            while ((newline = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(newline);
                pending.remove(0, newline + 1);
                if (line.startsWith("stored "))
                    lastPrinted = line.mid(7).toInt();
            }
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
        pending += child.readAllStandardOutput();
        for (const QByteArray &line : pending.split('\n')) {
            if (line.startsWith("stored "))
                lastPrinted = line.mid(7).toInt();
        }

        QSettings reader(TestEnv::settingsFile(), QSettings::IniFormat);
        QCOMPARE(reader.status(), QSettings::NoError);
        const int stored = reader.value(u"Kartavio/txtStrecke"_s).toString().toInt();
        QVERIFY2(stored == lastPrinted || stored == lastPrinted + 1,
                 qPrintable(u"stored %1, last reported %2"_s.arg(stored).arg(lastPrinted)));
    }
}

void TestRememberedValues::childWriter()
{
    if (!qEnvironmentVariableIsSet("KARTAVIO_CHILD_WRITER"))
        QSKIP("runs only as the child of survivesSigkill");
    RememberedValues store;
    QLineEdit box;
    box.setObjectName(u"txtStrecke"_s);
    for (int i = 1; i < 1000000; ++i) {
        box.setText(QString::number(i));
        store.save(&box);
        std::printf("stored %d\n", i);
        std::fflush(stdout);
    }
}

QTEST_MAIN(TestRememberedValues)
#include "tst_rememberedvalues.moc"
