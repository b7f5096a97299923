// The user text in lookup addresses, without any window; the address of each
// lookup is checked where its control opens it, in the panel tests.

#include "helpers/testenv.h"
#include "core/lookups.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString base = u"http://www.kartavio.example/"_s;

} // namespace

class TestLookups final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void userTextEncoded_data();
    void userTextEncoded();
};

void TestLookups::initTestCase()
{
    TestEnv::isolate();
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
