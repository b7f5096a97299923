#include "helpers/testenv.h"
#include "settings/rememberedvalues.h"

#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using Entries = QList<std::pair<QString, QString>>; // key, value; sorted by key

// The file the store writes must hold what QSettings writes and reads.
class TestIniFile final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::isolate(); }
    void sameBytesAsQSettings_data();
    void sameBytesAsQSettings();
    void randomTextsReadBack();

private:
    static QByteArray writtenByStore(const Entries &entries);
    QByteArray writtenByQSettings(const Entries &entries);

    QTemporaryDir m_dir;
    int m_files = 0;
};

// The settings file after a store, started without one, has stored `entries`.
QByteArray TestIniFile::writtenByStore(const Entries &entries)
{
    QFile::remove(TestEnv::settingsFile());
    RememberedValues store;
    for (const auto &[key, value] : entries)
        store.setValue(key, value);
    return TestEnv::contents(TestEnv::settingsFile());
}

QByteArray TestIniFile::writtenByQSettings(const Entries &entries)
{
    const QString path = m_dir.filePath(u"qsettings%1.conf"_s.arg(++m_files));
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const auto &[key, value] : entries)
            settings.setValue(u"Kartavio/"_s + key, value);
    }
    return TestEnv::contents(path);
}

void TestIniFile::sameBytesAsQSettings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << u"txtM"_s << u"10"_s;
    QTest::newRow("decimal comma") << u"txtEur"_s << u"1.234,50"_s;
    QTest::newRow("empty") << u"txtR"_s << QString();
    QTest::newRow("umlauts") << u"txtTrans"_s << u"Grüße aus Köln"_s;
    QTest::newRow("semicolon") << u"txtTrans"_s << u"a;b"_s;
    QTest::newRow("equals") << u"txtTrans"_s << u"1=2"_s;
    QTest::newRow("quote and backslash") << u"txtTrans"_s << u"sag \"hi\" \\ ok"_s;
    QTest::newRow("lines") << u"txtTrans"_s << u"eins\nzwei\r\ndrei\tvier"_s;
    QTest::newRow("leading blank") << u"txtZS"_s << u" 123"_s;
    QTest::newRow("trailing blank") << u"txtZS"_s << u"123 "_s;
    QTest::newRow("at sign") << u"txtTrans"_s << u"@Variant(x)"_s;
    QTest::newRow("nul then hex digit") << u"txtTrans"_s << QString(u"a\0b"_s)
                                                                + QChar(u'\x01') + u"f"_s;
    QTest::newRow("delete character") << u"txtTrans"_s << u"a\x7f" u"b"_s;
    QTest::newRow("emoji") << u"txtTrans"_s << u"Tschüss \U0001F600"_s;
    QTest::newRow("key with blank and slash") << u"a b/c"_s << u"x"_s;
    QTest::newRow("key non-ascii") << u"Größe€"_s << u"x"_s;
}

void TestIniFile::sameBytesAsQSettings()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const Entries entries{{key, value}, {u"zLast"_s, u"1"_s}};
    QCOMPARE(writtenByStore(entries), writtenByQSettings(entries));
}

void TestIniFile::randomTextsReadBack()
{
    // Fixed seed: the same texts on every run.
    QRandomGenerator random(20261207);
    QFile::remove(TestEnv::settingsFile());
    RememberedValues store;
    const QString alphabet = u" ,;=\"\\@%[]/#\t\n\r\x01\x7f" u"0123456789aZäöüß€\u00a0"_s;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = int(random.bounded(12));
        for (int i = 0; i < length; ++i) {
            if (random.bounded(8) == 0)
                text += QChar(char16_t(0x20 + random.bounded(0xD7FF - 0x20)));
            else
                text += alphabet.at(random.bounded(alphabet.size()));
        }
        store.setValue(u"txtTrans", text);
        QCOMPARE(TestEnv::storedValue(u"txtTrans"_s), text);
        if (round % 10 == 0)
            QCOMPARE(TestEnv::contents(TestEnv::settingsFile()), writtenByQSettings({{u"txtTrans"_s, text}}));
    }
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
