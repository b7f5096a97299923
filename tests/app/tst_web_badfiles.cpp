#include "app/form3.h"
#include "core/ratereply.h"
#include "helpers/panelprobe.h"
#include "helpers/testchild.h"
#include "helpers/testenv.h"
#include "helpers/windowstart.h"
#include "standin/httpserver.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The real window started once on every kind of damaged file at once: a
// cache of random bytes, a state list with binary junk between its lines, a
// settings file with junk after its values that its owner may not write.
// It runs in a child process started from a private copy of this test, so
// that the copy's folder can hold a state list of its own.
class TestBadFiles final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsAndComputes();

private:
    void typeInto(const QString &box, const QString &text);
    QString shown(const QString &name) const { return PanelProbe::shown(m_window.get(), name); }

    QString m_copy;
    StandIn::HttpServer *m_server = nullptr;
    std::unique_ptr<Form3> m_window;
};

void TestBadFiles::initTestCase()
{
    TestEnv::isolate();
    if (!TestChild::isChild()) {
        // A private copy of this program: its folder is the program folder
        // the window reads staaten.txt from.
        const QString folder = TestEnv::root() + u"/bin"_s;
        QVERIFY(QDir().mkpath(folder));
        m_copy = folder + u"/tst_web_badfiles"_s;
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), m_copy));
        return;
    }
    m_server = new StandIn::HttpServer(this);
    WindowStart::pointHostsAt(*m_server);
    m_server->setReply(u"/kartavio/_tools/eur.cgi"_s, {200, "1.2345|05.12.2026|", "text/plain"});
    m_server->setReply(u"/kartavio/_tools/eurchart.gif"_s, {200, TestEnv::onePixelGif(), "image/gif"});
}

void TestBadFiles::typeInto(const QString &name, const QString &text)
{
    auto *box = m_window->findChild<QLineEdit *>(name);
    QVERIFY2(box, qPrintable(name));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QCOMPARE(box->text(), text);
}

void TestBadFiles::startsAndComputes()
{
    if (!TestChild::isChild()) {
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        TestChild::start(child, QString::fromLatin1(QTest::currentTestFunction()), u"-"_s, m_copy);
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        const bool finished = child.waitForFinished(200000);
        const QByteArray output = child.readAll();
        if (!finished)
            child.kill();
        QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.right(3000).constData());
        return;
    }

    // The damaged files, and the store as a previous run left it.
    QVERIFY(PanelProbe::storeAsBefore({{u"txtKG"_s, u"5"_s}, {u"txtKM"_s, u"12,5"_s}, {u"scrTrinkgeld"_s, u"20"_s}}));
    QFile settings(TestEnv::settingsFile());
    QVERIFY(settings.open(QIODevice::Append));
    settings.write(TestEnv::junk(16, 4096));
    settings.close();
    QVERIFY(settings.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QByteArray settingsBefore = TestEnv::contents(TestEnv::settingsFile());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/eurkurs.txt"_s;
    QVERIFY(TestEnv::write(cache, TestEnv::junk(11, 4096)));
    QVERIFY(TestEnv::write(QCoreApplication::applicationDirPath() + u"/staaten.txt"_s,
                           "AL\tAlabama\n" + TestEnv::junk(12, 2000) + "\nAK\tAlaska\n" + TestEnv::junk(13, 2000)
                               + "\nAZ\tArizona\n"));

    m_window = WindowStart::startAndActivate();
    QVERIFY(m_window);
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_window->eurKurs(), 1.2345);
    QCOMPARE(shown(u"Label4"_s), u"1 EUR = 1,2345 $, 1$ = 0,8100 EUR"_s);
    // The valid lines of the state list.
    QCOMPARE(m_window->findChild<QComboBox *>(u"lstStates"_s)->count(), 3);
    QCOMPARE(m_window->stateCodes(), (QStringList{u"AL"_s, u"AK"_s, u"AZ"_s}));
    // The values stored before the junk.
    QCOMPARE(shown(u"txtKG"_s), u"5"_s);
    QCOMPARE(shown(u"txtG"_s), u"5.000,00"_s);
    QCOMPARE(shown(u"txtKM"_s), u"12,5"_s);
    QCOMPARE(m_window->findChild<QScrollBar *>(u"scrTrinkgeld"_s)->value(), 20);

    // Every calculator still computes from what is typed.
    struct Step
    {
        int panel;
        QString box;
        QString text;
        QString result;
        QString expected;
    };
    const QList<Step> steps = {
        {0, u"txtEur"_s, u"100"_s, u"txtDollar"_s, u"123,45"_s},
        {1, u"txtGalPrice"_s, u"1,99"_s, u"txtLPriceE"_s, u"0,43"_s},
        {1, u"txtStrecke"_s, u"100"_s, u"lblFahrtPreis"_s, u"Fahrtkosten: 9,05 $"_s},
        {3, u"txtKG"_s, u"2"_s, u"txtG"_s, u"2.000,00"_s},
        {4, u"txtR"_s, u"3"_s, u"Label31"_s, u"Freigrenze (Warenwert): 1.035,00 € (1.277,71 $)"_s},
        {4, u"txtZV"_s, u"600,00"_s, u"Label36"_s, u"Zoll: 92,35 € + ggf. Einfuhrumsatzsteuer"_s},
        {11, u"txtTrinkgeld"_s, u"60,00"_s, u"Label48"_s, u"Empfohlenes Trinkgeld: 12,00 $ (9,72 €)"_s},
    };
    for (const Step &step : steps) {
        m_window->moveFrame(step.panel);
        typeInto(step.box, step.text);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(shown(step.result), step.expected);
    }

    // A settings file its owner may not write is left alone; what was typed
    // is kept while the program runs. The junk cache is replaced.
    QCOMPARE(TestEnv::contents(TestEnv::settingsFile()), settingsBefore);
    QCOMPARE(m_window->store().value(u"txtEur"), u"100"_s);
    QCOMPARE(RateReply::parse(QString::fromLatin1(TestEnv::contents(cache))).fetchDate,
             std::optional<QString>(RateReply::dateText(QDate::currentDate())));
    m_window.reset();
}

QTEST_MAIN(TestBadFiles)
#include "tst_web_badfiles.moc"
