// Lookup addresses and the states list file, without any window.

#include "helpers/testenv.h"
#include "core/lookups.h"
#include "core/statelist.h"

#include <QCollator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString base = u"http://www.kartavio.example/"_s;

enum class Trigger { Command2, Command3, Command4, Command5, Redirect, Label40 };

} // namespace

Q_DECLARE_METATYPE(Trigger)

class TestLookups final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void addresses_data();
    void addresses();
    void userTextEncoded_data();
    void userTextEncoded();

    void stateFile_data();
    void stateFile();
    void missingStateFile();
    void shippedStateFile();

private:
    QString writeFile(const QByteArray &content);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestLookups::initTestCase()
{
    TestEnv::isolate();
    QVERIFY(m_dir.isValid());
}

QString TestLookups::writeFile(const QByteArray &content)
{
    const QString path = m_dir.filePath(u"staaten%1.txt"_s.arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

void TestLookups::addresses_data()
{
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("nr");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Command2 ZIP") << Trigger::Command2 << u"33064"_s << 0 << base + u"_tools/tankstelle.cgi?33064";
    QTest::newRow("Command2 empty") << Trigger::Command2 << QString() << 0 << base + u"_tools/tankstelle.cgi?";
    QTest::newRow("Command3") << Trigger::Command3 << u"guten Tag"_s << 0
                              << base + u"_tools/trans.cgi?dir=eng&txt=guten%20Tag";
    QTest::newRow("Command4") << Trigger::Command4 << u"good morning"_s << 0
                              << base + u"_tools/trans.cgi?dir=ger&txt=good%20morning";
    QTest::newRow("Command3 empty") << Trigger::Command3 << QString() << 0 << base + u"_tools/trans.cgi?dir=eng&txt=";
    QTest::newRow("Command5") << Trigger::Command5 << u"CA"_s << 0 << base + u"_tools/ptrans.cgi?CA";
    QTest::newRow("Label28") << Trigger::Redirect << QString() << 0 << base + u"_tools/red.cgi?0";
    QTest::newRow("Label33") << Trigger::Redirect << QString() << 1 << base + u"_tools/red.cgi?1";
    QTest::newRow("Label37 and Label38") << Trigger::Redirect << QString() << 3 << base + u"_tools/red.cgi?3";
    QTest::newRow("Label40") << Trigger::Label40 << QString() << 0 << u"https://www.amtrak.com"_s;
}

void TestLookups::addresses()
{
    QFETCH(Trigger, trigger);
    QFETCH(QString, value);
    QFETCH(int, nr);
    QFETCH(QString, expected);

    QString address;
    switch (trigger) {
    case Trigger::Command2: address = Lookups::gasStationUrl(base, value); break;
    case Trigger::Command3: address = Lookups::translateUrl(base, true, value); break;
    case Trigger::Command4: address = Lookups::translateUrl(base, false, value); break;
    case Trigger::Command5: address = Lookups::transportUrl(base, value); break;
    case Trigger::Redirect: address = Lookups::redirectUrl(base, nr); break;
    case Trigger::Label40: address = Lookups::railAddress; break;
    }
    QCOMPARE(address, expected);
    // The browser gets exactly these bytes: the address is already valid.
    QCOMPARE(QUrl(address, QUrl::StrictMode).toEncoded(), expected.toUtf8());
}

void TestLookups::userTextEncoded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");

    QTest::newRow("space") << u"guten Tag"_s << u"guten%20Tag"_s;
    QTest::newRow("ampersand") << u"Tom & Jerry"_s << u"Tom%20%26%20Jerry"_s;
    QTest::newRow("hash") << u"Zimmer #12"_s << u"Zimmer%20%2312"_s;
    QTest::newRow("question mark") << u"Wo?"_s << u"Wo%3F"_s;
    QTest::newRow("equals and plus") << u"a=b+c"_s << u"a%3Db%2Bc"_s;
    QTest::newRow("percent") << u"100%"_s << u"100%25"_s;
    QTest::newRow("line feed") << u"Zeile 1\nZeile 2"_s << u"Zeile%201%0AZeile%202"_s;
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a%0D%0Ab"_s;
    QTest::newRow("umlauts") << u"Grüße aus Köln"_s << u"Gr%C3%BC%C3%9Fe%20aus%20K%C3%B6ln"_s;
    QTest::newRow("unreserved kept") << u"A-z_0.9~"_s << u"A-z_0.9~"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestLookups::userTextEncoded()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);

    const QString address = Lookups::translateUrl(base, true, text);
    QCOMPARE(address, base + u"_tools/trans.cgi?dir=eng&txt=" + encoded);
    QVERIFY(!address.contains(u' '));

    // The site reads back the two fields and exactly the typed text.
    const QUrlQuery query(QUrl(address, QUrl::StrictMode));
    QCOMPARE(query.queryItems().size(), 2);
    QCOMPARE(query.queryItemValue(u"dir"_s), u"eng"_s);
    QCOMPARE(query.queryItemValue(u"txt"_s, QUrl::FullyDecoded), text);

    // The bare values of the other scripts are encoded alike.
    QCOMPARE(Lookups::gasStationUrl(base, text), base + u"_tools/tankstelle.cgi?" + encoded);
    QCOMPARE(Lookups::transportUrl(base, text), base + u"_tools/ptrans.cgi?" + encoded);
}

void TestLookups::stateFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("names");

    QByteArray fifty;
    QStringList fiftyCodes;
    QStringList fiftyNames;
    for (int i = 0; i < 50; ++i) {
        fiftyCodes << u"S%1"_s.arg(i, 2, 10, QLatin1Char('0'));
        fiftyNames << u"Staat Nummer %1"_s.arg(i + 1);
        fifty += (fiftyCodes.last() + u'\t' + fiftyNames.last() + u'\n').toUtf8();
    }
    QTest::newRow("50 lines in order") << fifty << fiftyCodes << fiftyNames;

    QByteArray seventy;
    QStringList first61Codes;
    QStringList first61Names;
    for (int i = 0; i < 70; ++i) {
        const QString code = u"C%1"_s.arg(i);
        const QString name = u"Name %1"_s.arg(i);
        seventy += (code + u'\t' + name + u'\n').toUtf8();
        if (i < 61) {
            first61Codes << code;
            first61Names << name;
        }
    }
    QTest::newRow("at most 61") << seventy << first61Codes << first61Names;

    QTest::newRow("lines without tab skipped")
        << QByteArray("AL\tAlabama\nkein Tab hier\n\n\t\nAK\tAlaska\n\n")
        << QStringList{u"AL"_s, u"AK"_s} << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("no line end at the end")
        << QByteArray("AL\tAlabama\nAK\tAlaska") << QStringList{u"AL"_s, u"AK"_s}
        << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("CR LF line ends")
        << QByteArray("NY\tNew York\r\nNJ\tNew Jersey\r\n") << QStringList{u"NY"_s, u"NJ"_s}
        << QStringList{u"New York"_s, u"New Jersey"_s};
    QTest::newRow("UTF-8 with byte order mark")
        << QByteArray("\xEF\xBB\xBFSC\tS\xC3\xBC" "d-Carolina\nDC\tWashington, D.C.\n")
        << QStringList{u"SC"_s, u"DC"_s} << QStringList{u"Süd-Carolina"_s, u"Washington, D.C."_s};
    QTest::newRow("1 MB line skipped")
        << (QByteArray("AL\tAlabama\nXX\t") + QByteArray(1024 * 1024, 'a') + QByteArray("\nAK\tAlaska\n"))
        << QStringList{u"AL"_s, u"AK"_s} << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList();
}

void TestLookups::stateFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);

    const QString path = writeFile(content);
    QVERIFY(!path.isEmpty());
    const QList<StateList::State> states = StateList::read(path);
    QStringList readCodes;
    QStringList readNames;
    for (const StateList::State &state : states) {
        readCodes << state.code;
        readNames << state.name;
    }
    QCOMPARE(readCodes, codes);
    QCOMPARE(readNames, names);
}

void TestLookups::missingStateFile()
{
    QVERIFY(StateList::read(m_dir.filePath(u"gibt-es-nicht.txt"_s)).isEmpty());
    QVERIFY(StateList::read(m_dir.path()).isEmpty()); // a folder is no file
}

// The file the program ships: 50 states and the capital district, German
// names in German alphabetical order, each with a distinct postal code.
void TestLookups::shippedStateFile()
{
    const QList<StateList::State> states =
        StateList::read(QStringLiteral(KARTAVIO_SOURCE_DIR "/resources/staaten.txt"));
    QCOMPARE(states.size(), 51);

    static const QRegularExpression postal(u"^[A-Z]{2}$"_s);
    QSet<QString> codes;
    QCollator german{QLocale(QLocale::German, QLocale::Germany)};
    for (qsizetype i = 0; i < states.size(); ++i) {
        QVERIFY2(postal.match(states[i].code).hasMatch(), qPrintable(states[i].code));
        codes.insert(states[i].code);
        if (i > 0)
            QVERIFY2(german.compare(states[i - 1].name, states[i].name) < 0, qPrintable(states[i].name));
    }
    QCOMPARE(codes.size(), 51);
    const auto has = [&states](const QString &code, const QString &name) {
        return std::any_of(states.cbegin(), states.cend(),
                           [&](const StateList::State &s) { return s.code == code && s.name == name; });
    };
    QVERIFY(has(u"CA"_s, u"Kalifornien"_s));
    QVERIFY(has(u"ND"_s, u"Nord-Dakota"_s));
    QVERIFY(has(u"NY"_s, u"New York"_s));
    QVERIFY(has(u"DC"_s, u"Washington, D.C."_s));
}

QTEST_MAIN(TestLookups)
#include "tst_lookups.moc"
