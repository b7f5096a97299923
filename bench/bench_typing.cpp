// Cost of one key release in the boxes people type into most: txtM rewrites
// five length boxes, txtEur one; both store their text, replacing the
// settings file. The settings live in a temporary folder on the home disk.
// txtM_1MB types into txtM while txtTrans holds a text of 1 MB, which every
// write of the file carries along. The _lockBusy rows type while another
// holder keeps the settings lock (a QLockFile, as the maker's programs take
// it): the release tries the lock once and keeps the value pending, which
// must cost no more than writing the file. txtM_10MBother types while
// another program keeps 10 MB in a section of its own, which every write
// carries along; copy_10MB is its floor: the file's bytes read and written
// to a new file once, on the same disk.
#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"
#include "panels/currencypanel.h"
#include "panels/unitspanel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

class BenchTyping final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keyRelease_data();
    void keyRelease();
    // With 10 MB of another program's in the file, beside its floor.
    void bigFile_data();
    void bigFile();

private:
    QTemporaryDir m_home{QDir::homePath() + QStringLiteral("/.kartavio-bench-XXXXXX")};
    std::unique_ptr<RememberedValues> m_store;
    std::unique_ptr<UnitsPanel> m_units;
    std::unique_ptr<CurrencyPanel> m_currency;
};

void BenchTyping::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCoreApplication::setOrganizationName(QStringLiteral("Kelvara"));
    QCoreApplication::setApplicationName(QStringLiteral("Kartavio"));
    m_store = std::make_unique<RememberedValues>();
    const PanelContext context{*m_store, [] { return 1.0850; }, QStringLiteral("http://127.0.0.1/")};
    m_units = std::make_unique<UnitsPanel>(context);
    m_currency = std::make_unique<CurrencyPanel>(context);
}

void BenchTyping::keyRelease_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("translationBytes"); // the text stored under txtTrans
    QTest::addColumn<bool>("lockBusy");
    QTest::newRow("txtM") << QStringLiteral("txtM") << 0 << false;
    QTest::newRow("txtEur") << QStringLiteral("txtEur") << 0 << false;
    QTest::newRow("txtM_1MB") << QStringLiteral("txtM") << 1024 * 1024 << false;
    QTest::newRow("txtM_lockBusy") << QStringLiteral("txtM") << 0 << true;
    QTest::newRow("txtEur_lockBusy") << QStringLiteral("txtEur") << 0 << true;
}

void BenchTyping::bigFile_data()
{
    QTest::addColumn<QString>("box"); // none: the floor's copy
    QTest::addColumn<int>("otherBytes"); // another program's section
    QTest::newRow("txtM_10MBother") << QStringLiteral("txtM") << 10 * 1024 * 1024;
    QTest::newRow("copy_10MB") << QString() << 10 * 1024 * 1024;
}

void BenchTyping::keyRelease()
{
    QFETCH(QString, box);
    QFETCH(int, translationBytes);
    QFETCH(bool, lockBusy);
    // A long letter: umlauts and line breaks, which the file spells escaped.
    const QString line = QStringLiteral("Grüße aus Köln, wir fahren morgen nach Boston.\n");
    m_store->setValue(u"txtTrans", line.repeated(translationBytes / line.toUtf8().size()));
    auto *edit = m_units->findChild<QLineEdit *>(box);
    if (!edit)
        edit = m_currency->findChild<QLineEdit *>(box);
    QVERIFY(edit);

    QLockFile otherProgram(m_store->fileName() + QStringLiteral(".lock"));
    if (lockBusy)
        QVERIFY(otherProgram.tryLock(0));
    // Alternate the text so every release really stores something new.
    int round = 0;
    QBENCHMARK {
        edit->setText(QString::number(10 + (round++ % 2)));
        QTest::keyRelease(edit, Qt::Key_1);
    }
    QCOMPARE(m_store->value(box), edit->text());
    QCOMPARE(m_store->hasPending(), lockBusy);
    otherProgram.unlock();
    if (lockBusy) {
        QVERIFY(m_store->writePendingNow());
    }
}

// One key release (or the floor's copy) at a time, at typing speed: 100 ms
// apart, as the old file's blocks are freed on a worker thread meanwhile.
// The median of 15.
void BenchTyping::bigFile()
{
    QFETCH(QString, box);
    QFETCH(int, otherBytes);
    QFile file(m_store->fileName());
    if (file.size() < otherBytes) {
        // Another program's section at the file's end, as it would write it.
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::Append));
        QVERIFY(file.write("\n[Andere]\nx=" + QByteArray(otherBytes, 'x') + '\n') > otherBytes);
        file.close();
    }
    auto *edit = m_units->findChild<QLineEdit *>(QStringLiteral("txtM"));
    const QString copy = m_store->fileName() + QStringLiteral(".copy");
    QList<qint64> times;
    for (int round = 0; round < 16; ++round) {
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        if (box.isEmpty()) {
            QFile from(m_store->fileName());
            QFile to(copy);
            QVERIFY(from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly));
            QVERIFY(to.write(from.readAll()) > otherBytes);
            to.close();
            QFile::remove(copy);
        } else {
            edit->setText(QString::number(10 + round % 2));
            QTest::keyRelease(edit, Qt::Key_1);
        }
        if (round > 0) // the first one reads the file another program changed
            times.append(clock.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    QTest::setBenchmarkResult(times.at(times.size() / 2), QTest::WalltimeNanoseconds);
}

QTEST_MAIN(BenchTyping)
#include "bench_typing.moc"
