#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"
#include "settings/settingskeys.h"
#include "panels/currencypanel.h"
#include "panels/unitspanel.h"
#include "helpers/testenv.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>
#include <QThread>

#include <array>
#include <csignal>
#include <cstdio>

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
    void survivesSigkillWhileTyping();
    void childTypist();
    void strayLinesKeepOtherSections();
    void parallelWritersLoseNothing_data();
    void parallelWritersLoseNothing();
    void childParallel();

private:
    static bool isChild()
    {
        return qEnvironmentVariableIsSet("KARTAVIO_CHILD_TYPIST") || qEnvironmentVariableIsSet("KARTAVIO_CHILD_PARALLEL");
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

void TestRememberedValues::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("number as typed") << u"txtKM"_s << u"12,5"_s;
    QTest::newRow("umlauts and symbols") << u"txtTrans"_s << u"Grüße & \"Tschüß\" = 100 % ; # [x]"_s;
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KARTAVIO_CHILD_TYPIST"_s, QString::number(random.generate()));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {u"childTypist"_s});
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
    if (!qEnvironmentVariableIsSet("KARTAVIO_CHILD_TYPIST"))
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

    QRandomGenerator random(qEnvironmentVariableIntValue("KARTAVIO_CHILD_TYPIST"));
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

// The file is shared with the maker's other programs: whatever our section
// holds (a comment, a line without =), their sections stay exactly as they were.
void TestRememberedValues::strayLinesKeepOtherSections()
{
    const QByteArray before("[Andere]\nname=Wert ; Notiz\n\n[Kartavio]\n# Kommentar\nkaputt\ntxtM=3\n\n"
                            "[Noch]\r\n# eigene Notiz\r\nx = 1\r\n");
    QFile settings(TestEnv::settingsFile());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    QCOMPARE(settings.write(before), before.size());
    settings.close();

    RememberedValues store;
    QCOMPARE(store.value(u"txtM"), u"3"_s);
    store.setValue(u"txtKG", u"5"_s);
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    for (const char *section : {"\n[Andere]\nname=Wert ; Notiz\n\n", "\n[Noch]\r\n# eigene Notiz\r\nx = 1\r\n"})
        QVERIFY2(written.contains(section), written.constData());
    QSettings reader(TestEnv::settingsFile(), QSettings::IniFormat);
    QCOMPARE(reader.value(u"Kartavio/txtM"_s).toString(), u"3"_s);
    QCOMPARE(reader.value(u"Kartavio/txtKG"_s).toString(), u"5"_s);
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
    const QStringList how = {u"store:a:"_s + QString::number(writes), other + u":b:"_s + QString::number(writes)};
    std::array<QProcess, 2> children;
    for (size_t i = 0; i < children.size(); ++i) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"KARTAVIO_CHILD_PARALLEL"_s, how[qsizetype(i)]);
        children[i].setProcessEnvironment(env);
        children[i].start(QCoreApplication::applicationFilePath(), {u"childParallel"_s});
    }
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
    const QStringList how = qEnvironmentVariable("KARTAVIO_CHILD_PARALLEL").split(u':');
    if (how.size() != 3)
        QSKIP("runs only as a child of parallelWritersLoseNothing");
    const int writes = how[2].toInt();
    if (how[0] == u"store") {
        RememberedValues store;
        for (int i = 1; i <= writes; ++i)
            store.setValue(QString(how[1] + QString::number(i)), QString::number(i));
        return;
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, u"Kelvara"_s);
    for (int i = 1; i <= writes; ++i) {
        settings.setValue(u"Andere/"_s + how[1] + QString::number(i), QString::number(i));
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
}

QTEST_MAIN(TestRememberedValues)
#include "tst_rememberedvalues.moc"
