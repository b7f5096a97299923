// Where the program looks for its states list: beside itself, in the data
// folder of its own prefix, then in the data folder set at build time.

#include "helpers/testenv.h"
#include "core/statelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Where a file is put in the test's folder tree.
enum Place : int { Beside = 1, Prefix = 2, DataDir = 4, BesideIsFolder = 8 };

} // namespace

class TestStateLocate final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void order_data();
    void order();
    void buildTreeCopyIsFound();

private:
    std::optional<QTemporaryDir> m_dir;
};

void TestStateLocate::initTestCase()
{
    TestEnv::isolate();
    const QStringList paths = StateList::candidates(u"/opt/k/bin/"_s, u"/usr/share/kartavio"_s);
    if (paths.value(1) != u"/opt/k/share/kartavio/staaten.txt"_s)
        QSKIP("Built for an install layout other than bin/ and share/");
}

void TestStateLocate::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(u"prefix/bin"_s));
}

void TestStateLocate::order_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<bool>("trailingSlash");
    QTest::addColumn<int>("expected");

    QTest::newRow("all three: beside wins") << (Beside | Prefix | DataDir) << true << int(Beside);
    QTest::newRow("beside and build-time folder") << (Beside | DataDir) << true << int(Beside);
    QTest::newRow("prefix before build-time folder") << (Prefix | DataDir) << true << int(Prefix);
    QTest::newRow("only the prefix (moved install)") << int(Prefix) << true << int(Prefix);
    QTest::newRow("only the build-time folder") << int(DataDir) << true << int(DataDir);
    QTest::newRow("none: build-time folder named") << 0 << true << int(DataDir);
    QTest::newRow("a folder beside is no file") << (BesideIsFolder | Prefix) << true << int(Prefix);
    QTest::newRow("program folder without slash") << (Prefix | DataDir) << false << int(Prefix);
    QTest::newRow("without slash, beside") << (Beside | Prefix) << false << int(Beside);
}

void TestStateLocate::order()
{
    QFETCH(int, present);
    QFETCH(bool, trailingSlash);
    QFETCH(int, expected);

    const QString root = m_dir->path();
    const QHash<int, QString> paths = {
        {Beside, root + u"/prefix/bin/staaten.txt"},
        {Prefix, root + u"/prefix/share/kartavio/staaten.txt"},
        {DataDir, root + u"/data/staaten.txt"},
    };
    for (const int place : {Beside, Prefix, DataDir}) {
        if (present & place)
            QVERIFY(TestEnv::write(paths[place], "AL\tAlabama\n"));
    }
    if (present & BesideIsFolder)
        QVERIFY(QDir(root).mkpath(u"prefix/bin/staaten.txt"_s));

    const QString appDir = root + u"/prefix/bin" + (trailingSlash ? u"/" : u"");
    const QString found = StateList::locate(appDir, root + u"/data");
    QCOMPARE(found, paths[expected]);
    if (present & expected)
        QCOMPARE(StateList::read(found).size(), 1);
    else
        QVERIFY(StateList::read(found).isEmpty());
}

// The build copies the list beside every test program, as beside the program.
void TestStateLocate::buildTreeCopyIsFound()
{
    const QString appDir = QCoreApplication::applicationDirPath() + u'/';
    const QString found = StateList::locate(appDir);
    QCOMPARE(found, appDir + u"staaten.txt");
    const auto source = StateList::read(QStringLiteral(KARTAVIO_SOURCE_DIR "/resources/staaten.txt"));
    QVERIFY(!source.isEmpty());
    QCOMPARE(StateList::read(found).size(), source.size());
}

QTEST_MAIN(TestStateLocate)
#include "tst_statelocate.moc"
