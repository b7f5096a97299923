#include "core/statelist.h"

#include "helpers/testenv.h"

#include <QCollator>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Reading the state list from files that are damaged, too long or not a
// state list at all: the good lines are kept, the rest is skipped; and the
// file the program ships.
class TestStateListFile final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void read_data();
    void read();
    void parseLine_data();
    void parseLine();
    void missingFileGivesNothing();
    void shippedStateFile();

private:
    QTemporaryDir m_dir;
};

namespace {

QByteArray numberedStates(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += 'S' + QByteArray::number(i) + "\tStaat " + QByteArray::number(i) + '\n';
    return text;
}

QStringList numberedCodes(int first, int last)
{
    QStringList codes;
    for (int i = first; i <= last; ++i)
        codes.append(u'S' + QString::number(i));
    return codes;
}

} // namespace

void TestStateListFile::initTestCase()
{
    TestEnv::isolate();
    QVERIFY(m_dir.isValid());
}

void TestStateListFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("plain") << QByteArray("AL\tAlabama\nAK\tAlaska\n")
                           << QStringList{u"AL"_s, u"AK"_s} << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("CR LF and no last line end") << QByteArray("AL\tAlabama\r\nAK\tAlaska")
                                                << QStringList{u"AL"_s, u"AK"_s} << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("lines without tabs") << QByteArray("Alabama\nAK\tAlaska\n\nAZ Arizona\n   \nAR\tArkansas\n\n")
                                        << QStringList{u"AK"_s, u"AR"_s} << QStringList{u"Alaska"_s, u"Arkansas"_s};
    QTest::newRow("empty fields") << QByteArray("\tAlabama\nAK\t\n\t\nAZ\tArizona\n")
                                  << QStringList{u"AZ"_s} << QStringList{u"Arizona"_s};
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF" "AL\tAlabama\n")
                                           << QStringList{u"AL"_s} << QStringList{u"Alabama"_s};
    QTest::newRow("Latin-1 umlaut") << QByteArray("GU\tGuam (\xDC" "bersee)\n")
                                    << QStringList{u"GU"_s} << QStringList{u"Guam (Übersee)"_s};
    QTest::newRow("UTF-8 umlaut") << QByteArray("GU\tGuam (\xC3\x9C" "bersee)\n")
                                  << QStringList{u"GU"_s} << QStringList{u"Guam (Übersee)"_s};
    QTest::newRow("byte order mark and UTF-8 umlaut")
        << QByteArray("\xEF\xBB\xBFSC\tS\xC3\xBC" "d-Carolina\nDC\tWashington, D.C.\n")
        << QStringList{u"SC"_s, u"DC"_s} << QStringList{u"Süd-Carolina"_s, u"Washington, D.C."_s};
    QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList();

    const QByteArray hugeLine = QByteArray(1024 * 1024, 'x') + "\tjunk\n";
    QTest::newRow("1 MB line in between") << QByteArray("AL\tAlabama\n" + hugeLine + "AK\tAlaska\n")
                                          << QStringList{u"AL"_s, u"AK"_s} << QStringList{u"Alabama"_s, u"Alaska"_s};
    QTest::newRow("1 MB last line without line end")
        << QByteArray("AL\tAlabama\n" + QByteArray(1024 * 1024, '\t')) << QStringList{u"AL"_s} << QStringList{u"Alabama"_s};
    QTest::newRow("longest line kept") << QByteArray("XX\t" + QByteArray(1021, 'n') + "\nAL\tAlabama\n")
                                       << QStringList{u"XX"_s, u"AL"_s} << QStringList{QString(1021, u'n'), u"Alabama"_s};
    QTest::newRow("one byte too long") << QByteArray("XX\t" + QByteArray(1022, 'n') + "\nAL\tAlabama\n")
                                       << QStringList{u"AL"_s} << QStringList{u"Alabama"_s};

    QTest::newRow("binary junk between states")
        << QByteArray("AL\tAlabama\n" + TestEnv::junk(7, 3000) + "\nAK\tAlaska\n" + TestEnv::junk(8, 3000) + "\nAZ\tArizona\n")
        << QStringList{u"AL"_s, u"AK"_s, u"AZ"_s} << QStringList{u"Alabama"_s, u"Alaska"_s, u"Arizona"_s};
    QTest::newRow("NUL inside a line") << QByteArray("AL\tAla\0bama\nAK\tAlaska\n", 22)
                                       << QStringList{u"AK"_s} << QStringList{u"Alaska"_s};

    QStringList names;
    for (int i = 1; i <= 61; ++i)
        names.append(u"Staat "_s + QString::number(i));
    QTest::newRow("200 lines: the first 61") << numberedStates(200) << numberedCodes(1, 61) << names;
    QTest::newRow("61 after skipped lines") << QByteArray("kein Staat\n\n" + numberedStates(61)) << numberedCodes(1, 61)
                                            << names;
}

void TestStateListFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);

    const QString path = m_dir.filePath(u"staaten.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
    file.close();

    QStringList readCodes;
    QStringList readNames;
    for (const StateList::State &state : StateList::read(path)) {
        readCodes.append(state.code);
        readNames.append(state.name);
    }
    QCOMPARE(readCodes, codes);
    QCOMPARE(readNames, names);
}

void TestStateListFile::parseLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("code"); // empty: no state
    QTest::addColumn<QString>("name");

    QTest::newRow("code and name") << QByteArray("NY\tNew York\n") << u"NY"_s << u"New York"_s;
    QTest::newRow("blanks kept") << QByteArray(" NY \t New York \r\n") << u" NY "_s << u" New York "_s;
    QTest::newRow("third field ignored") << QByteArray("NY\tNew York\tmehr") << u"NY"_s << u"New York"_s;
    QTest::newRow("lone carriage return inside") << QByteArray("NY\tNew\rYork") << QString() << QString();
    QTest::newRow("escape character") << QByteArray("NY\t\x1b[31mNew York") << QString() << QString();
    QTest::newRow("C1 control as Latin-1") << QByteArray("NY\tNew \x85York") << QString() << QString();
    QTest::newRow("replacement character") << QByteArray("NY\tNew \xEF\xBF\xBDYork") << QString() << QString();
}

void TestStateListFile::parseLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, code);
    QFETCH(QString, name);

    const auto state = StateList::parseLine(line);
    QCOMPARE(state.has_value(), !code.isEmpty());
    if (state) {
        QCOMPARE(state->code, code);
        QCOMPARE(state->name, name);
    }
}

void TestStateListFile::missingFileGivesNothing()
{
    QVERIFY(StateList::read(m_dir.filePath(u"fehlt.txt"_s)).isEmpty());
    QVERIFY(StateList::read(m_dir.path()).isEmpty()); // a folder, not a file
}

// The file the program ships: 50 states and the capital district, German
// names in German alphabetical order, each with a distinct postal code.
void TestStateListFile::shippedStateFile()
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

QTEST_MAIN(TestStateListFile)
#include "tst_statelistfile.moc"
