#include "app/firstactivation.h"
#include "app/form3.h"
#include "helpers/panelprobe.h"
#include "helpers/testenv.h"
#include "helpers/windowstart.h"
#include "standin/httpserver.h"
#include "core/ratereply.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <linux/capability.h>
#include <sys/prctl.h>

#include <memory>

using namespace Qt::StringLiterals;

// The real window started on damaged files: a junk cache, a junk state list,
// a junk settings file, folders that cannot be written. Each row runs in a
// child process started from a private copy of this test, so that the copy's
// folder can hold a state list of its own, and a crash fails only its row.
class TestBadFiles final : public QObject
{
    Q_OBJECT

public:
    enum Damage {
        NoDamage,
        ReadOnlySettingsFolder,
        SettingsPathIsFile,
        ReadOnlyCacheFolder,
        CachePathIsFile,
        ReadOnlySettingsFile, // its owner may not write it: left alone
        SettingsFileIsLink,   // into a dotfiles folder: written through
    };
    Q_ENUM(Damage)

private slots:
    void initTestCase();
    void startsAndComputes_data();
    void startsAndComputes();

private:
    bool isChild() const { return qEnvironmentVariableIsSet("KARTAVIO_BADFILES_CHILD"); }
    void runRowInCopy(Damage damage);
    void typeInto(const QString &box, const QString &text);
    QString shown(const QString &name) const { return PanelProbe::shown(m_window.get(), name); }
    static QString cacheDir() { return QStandardPaths::writableLocation(QStandardPaths::CacheLocation); }

    QString m_copy;
    StandIn::HttpServer *m_server = nullptr;
    std::unique_ptr<Form3> m_window;
};

namespace {

using TestEnv::contents;

// Whether a new file can be made in `folder` (root can, whatever its mode).
bool canCreateIn(const QString &folder)
{
    QFile probe(folder + u"/probe"_s);
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created)
        probe.remove();
    return created;
}

// The failure reports in a child's output, without the web engine's chatter.
QByteArray failures(const QByteArray &output)
{
    QByteArray lines;
    bool inFailure = false;
    for (const QByteArray &line : output.split('\n')) {
        if (line.startsWith("FAIL!"))
            inFailure = true;
        else if (!line.startsWith("   "))
            inFailure = false;
        if (inFailure)
            lines += line + '\n';
    }
    return lines.isEmpty() ? output.right(2000) : lines;
}

// Runs in the child between fork and exec: without these capabilities even
// root must obey a folder's write permission.
void dropFileOverrides()
{
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

constexpr QFileDevice::Permissions readOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions openFolder = readOnlyFolder | QFileDevice::WriteOwner;

} // namespace

void TestBadFiles::initTestCase()
{
    TestEnv::isolate();
    if (!isChild()) {
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

void TestBadFiles::startsAndComputes_data()
{
    QTest::addColumn<QString>("file"); // the damaged file, or empty
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<bool>("remembered"); // the values stored before the start come back
    QTest::addColumn<QStringList>("codes"); // the state codes; empty: the shipped list

    const QString cache = u"eurkurs.txt"_s;
    const QString states = u"staaten.txt"_s;
    const QString settings = u"Kelvara.conf"_s;
    const QByteArray megabyte(1024 * 1024, 'x');

    QTest::newRow("cache of random bytes") << cache << TestEnv::junk(11, 4096) << NoDamage << true << QStringList();
    QTest::newRow("cache with a 1 MB line")
        << cache << QByteArray("1.1|" + megabyte + "|***01.01.2020***\r\n") << NoDamage << true << QStringList();

    QTest::newRow("states with binary junk")
        << states << QByteArray("AL\tAlabama\n" + TestEnv::junk(12, 2000) + "\nAK\tAlaska\n" + TestEnv::junk(13, 2000) + "\nAZ\tArizona\n")
        << NoDamage << true << QStringList{u"AL"_s, u"AK"_s, u"AZ"_s};
    QTest::newRow("states of nothing but junk") << states << TestEnv::junk(14, 64 * 1024) << NoDamage << true << QStringList{u"-"_s};

    QTest::newRow("settings of random bytes") << settings << TestEnv::junk(15, 4096) << NoDamage << false << QStringList();
    QTest::newRow("settings with junk after the values")
        << settings << QByteArray("[Kartavio]\ntxtKG=5\ntxtKM=\"12,5\"\nscrTrinkgeld=20\n" + TestEnv::junk(16, 4096))
        << NoDamage << true << QStringList();
    QTest::newRow("read-only settings folder") << QString() << QByteArray() << ReadOnlySettingsFolder << true << QStringList();
    QTest::newRow("settings folder is a file") << QString() << QByteArray() << SettingsPathIsFile << false << QStringList();
    QTest::newRow("read-only settings file") << QString() << QByteArray() << ReadOnlySettingsFile << true << QStringList();
    QTest::newRow("settings file is a link") << QString() << QByteArray() << SettingsFileIsLink << true << QStringList();
    QTest::newRow("read-only cache folder") << QString() << QByteArray() << ReadOnlyCacheFolder << true << QStringList();
    QTest::newRow("cache folder is a file") << QString() << QByteArray() << CachePathIsFile << true << QStringList();
}

void TestBadFiles::runRowInCopy(Damage damage)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"KARTAVIO_BADFILES_CHILD"_s, u"1"_s);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    if (damage == ReadOnlySettingsFolder || damage == ReadOnlyCacheFolder)
        child.setChildProcessModifier(&dropFileOverrides);
    const QString row = QString::fromLatin1(QTest::currentTestFunction()) % u':'
                        % QString::fromLatin1(QTest::currentDataTag());
    child.start(m_copy, {row});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    const bool finished = child.waitForFinished(200000);
    const QByteArray output = child.readAll();
    if (!finished)
        child.kill();
    QVERIFY2(finished, QByteArray("no end:\n" + failures(output)).constData());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit, QByteArray("crashed:\n" + output.right(2000)).constData());
    const qsizetype skip = output.indexOf("SKIP   : ");
    if (skip >= 0)
        QSKIP(output.mid(skip, output.indexOf('\n', skip) - skip).constData());
    QVERIFY2(child.exitCode() == 0, failures(output).constData());
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
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(Damage, damage);
    QFETCH(bool, remembered);
    QFETCH(QStringList, codes);

    if (!isChild()) {
        runRowInCopy(damage);
        return;
    }

    // The store as a previous run left it.
    QVERIFY(PanelProbe::storeAsBefore({{u"txtKG"_s, u"5"_s}, {u"txtKM"_s, u"12,5"_s}, {u"scrTrinkgeld"_s, u"20"_s}}));
    const QString settingsFolder = QFileInfo(TestEnv::settingsFile()).path();
    QVERIFY(QDir().mkpath(cacheDir()));
    QVERIFY(TestEnv::write(QCoreApplication::applicationDirPath() + u"/staaten.txt"_s,
                           file == u"staaten.txt" ? content
                                                  : contents(QStringLiteral(KARTAVIO_SOURCE_DIR "/resources/staaten.txt"))));
    if (file == u"eurkurs.txt")
        QVERIFY(TestEnv::write(cacheDir() + u"/eurkurs.txt"_s, content));
    if (file == u"Kelvara.conf")
        QVERIFY(TestEnv::write(TestEnv::settingsFile(), content));

    // A stale cache that a read-only folder keeps as it is.
    const QByteArray staleCache = "1.1|01.01.2020|***01.01.2020***\r\n";
    auto reopen = qScopeGuard([&] {
        QFile::setPermissions(settingsFolder, openFolder);
        QFile::setPermissions(cacheDir(), openFolder);
    });
    switch (damage) {
    case NoDamage:
        break;
    case ReadOnlySettingsFolder:
        QVERIFY(QFile::setPermissions(settingsFolder, readOnlyFolder));
        if (canCreateIn(settingsFolder))
            QSKIP("this process may write into read-only folders (privileged and its capabilities cannot be dropped)");
        break;
    case SettingsPathIsFile:
        QVERIFY(QDir(settingsFolder).removeRecursively());
        QVERIFY(TestEnv::write(settingsFolder, "kein Ordner"));
        break;
    case ReadOnlySettingsFile:
        QVERIFY(QFile::setPermissions(TestEnv::settingsFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        break;
    case SettingsFileIsLink: {
        const QString dotfiles = TestEnv::root() + u"/dotfiles"_s;
        QVERIFY(QDir().mkpath(dotfiles));
        QVERIFY(QFile::rename(TestEnv::settingsFile(), dotfiles + u"/Kelvara.conf"_s));
        QVERIFY(QFile::link(dotfiles + u"/Kelvara.conf"_s, TestEnv::settingsFile()));
        break;
    }
    case ReadOnlyCacheFolder:
        QVERIFY(TestEnv::write(cacheDir() + u"/eurkurs.txt"_s, staleCache));
        QVERIFY(QFile::setPermissions(cacheDir(), readOnlyFolder));
        if (canCreateIn(cacheDir()))
            QSKIP("this process may write into read-only folders (privileged and its capabilities cannot be dropped)");
        break;
    case CachePathIsFile:
        QVERIFY(QDir(cacheDir()).removeRecursively());
        QVERIFY(TestEnv::write(cacheDir(), "kein Ordner"));
        break;
    }
    const QByteArray settingsBefore = contents(TestEnv::settingsFile());

    m_window = WindowStart::startAndActivate();
    QVERIFY(m_window);
    QVERIFY(m_window->isEnabled());
    // The reply's rate is used even where the cache cannot be written.
    QCOMPARE(m_window->eurKurs(), 1.2345);
    QCOMPARE(shown(u"Label4"_s), u"1 EUR = 1,2345 $, 1$ = 0,8100 EUR"_s);

    // The state list: the valid lines of a damaged file, or the shipped list.
    auto *list = m_window->findChild<QComboBox *>(u"lstStates"_s);
    QCOMPARE(m_window->stateCodes().size(), list->count());
    if (codes == QStringList{u"-"_s}) {
        QCOMPARE(list->count(), 0);
    } else if (codes.isEmpty()) {
        QCOMPARE(list->count(), 51);
        QCOMPARE(m_window->stateCodes().constFirst(), u"AL"_s);
    } else {
        QCOMPARE(m_window->stateCodes(), codes);
    }

    if (remembered) {
        QCOMPARE(shown(u"txtKG"_s), u"5"_s);
        QCOMPARE(shown(u"txtG"_s), u"5.000,00"_s);
        QCOMPARE(shown(u"txtKM"_s), u"12,5"_s);
        QCOMPARE(m_window->findChild<QScrollBar *>(u"scrTrinkgeld"_s)->value(), 20);
    }

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
        {1, u"txtGalPrice2"_s, u"1,99"_s, u"txtGalPrice2"_s, u"1,99"_s},
        {1, u"txtVerbrauch"_s, u"22"_s, u"txtVerbrauch"_s, u"22"_s},
        {1, u"txtStrecke"_s, u"100"_s, u"lblFahrtPreis"_s, u"Fahrtkosten: 9,05 $"_s},
        {3, u"txtKG"_s, u"2"_s, u"txtG"_s, u"2.000,00"_s},
        {4, u"txtR15"_s, u"1"_s, u"txtR15"_s, u"1"_s},
        {4, u"txtR"_s, u"3"_s, u"Label31"_s, u"Freigrenze (Warenwert): 1.035,00 € (1.277,71 $)"_s},
        {4, u"txtZV"_s, u"600,00"_s, u"Label36"_s, u"Zoll: 92,35 € + ggf. Einfuhrumsatzsteuer"_s},
    };
    for (const Step &step : steps) {
        m_window->moveFrame(step.panel);
        typeInto(step.box, step.text);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(shown(step.result), step.expected);
    }
    m_window->moveFrame(11);
    m_window->findChild<QScrollBar *>(u"scrTrinkgeld"_s)->setValue(18);
    typeInto(u"txtTrinkgeld"_s, u"60,00"_s);
    QCOMPARE(shown(u"Label48"_s), u"Empfohlenes Trinkgeld: 10,80 $ (8,75 €)"_s);

    // What was typed is stored where the store can be written, and a store
    // that cannot be written is left as it was.
    QSettings reader(TestEnv::settingsFile(), QSettings::IniFormat);
    switch (damage) {
    case ReadOnlySettingsFolder:
        QCOMPARE(contents(TestEnv::settingsFile()), settingsBefore);
        break;
    case SettingsPathIsFile:
        QCOMPARE(contents(settingsFolder), QByteArray("kein Ordner"));
        break;
    case ReadOnlySettingsFile:
        QCOMPARE(contents(TestEnv::settingsFile()), settingsBefore);
        QCOMPARE(m_window->store().value(u"txtEur"), u"100"_s); // kept while the program runs
        break;
    case SettingsFileIsLink:
        QVERIFY(QFileInfo(TestEnv::settingsFile()).isSymLink());
        [[fallthrough]];
    default:
        QCOMPARE(reader.status(), QSettings::NoError);
        QCOMPARE(reader.value(u"Kartavio/txtEur"_s).toString(), u"100"_s);
        QCOMPARE(reader.value(u"Kartavio/txtTrinkgeld"_s).toString(), u"60,00"_s);
        QCOMPARE(reader.value(u"Kartavio/scrTrinkgeld"_s).toString(), u"18"_s);
        break;
    }

    // A damaged cache is replaced by a good one; an unwritable one is left.
    const QByteArray cacheAfter = contents(cacheDir() + u"/eurkurs.txt"_s);
    switch (damage) {
    case ReadOnlyCacheFolder:
        QCOMPARE(cacheAfter, staleCache);
        break;
    case CachePathIsFile:
        QCOMPARE(contents(cacheDir()), QByteArray("kein Ordner"));
        break;
    default:
        QCOMPARE(RateReply::parse(QString::fromLatin1(cacheAfter)).fetchDate,
                 std::optional<QString>(RateReply::dateText(QDate::currentDate())));
        break;
    }
    m_window.reset();
}

QTEST_MAIN(TestBadFiles)
#include "tst_web_badfiles.moc"
