// Lookup addresses, without any window.

#include "helpers/testenv.h"
#include "core/lookups.h"

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
};

void TestLookups::initTestCase()
{
    TestEnv::isolate();
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

QTEST_MAIN(TestLookups)
#include "tst_lookups.moc"
