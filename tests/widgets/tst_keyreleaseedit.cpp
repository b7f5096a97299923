#include "widgets/keyreleaseedit.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

// The key-release box every calculator box is made of: which releases reach
// the handler behind it.
class TstKeyReleaseEdit final : public QObject
{
    Q_OBJECT

private slots:
    void releases_data();
    void releases();
    void programWriteReportsNothing();
};

void TstKeyReleaseEdit::releases_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<bool>("reported");
    // Keys that change no text still count: the handler recomputes what stands.
    QTest::newRow("digit") << int(Qt::Key_5) << false << true;
    QTest::newRow("left arrow") << int(Qt::Key_Left) << false << true;
    QTest::newRow("right arrow") << int(Qt::Key_Right) << false << true;
    QTest::newRow("shift") << int(Qt::Key_Shift) << false << true;
    // A held key repeats its release; only the last, real one counts.
    QTest::newRow("repeated right arrow") << int(Qt::Key_Right) << true << false;
    QTest::newRow("repeated digit") << int(Qt::Key_5) << true << false;
}

void TstKeyReleaseEdit::releases()
{
    QFETCH(int, key);
    QFETCH(bool, autoRepeat);
    QFETCH(bool, reported);

    KeyReleaseEdit box;
    box.setText(QStringLiteral("37"));
    QSignalSpy released(&box, &KeyReleaseEdit::keyReleased);
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(&box, &event);
    QCOMPARE(released.size(), reported ? 1 : 0);
}

void TstKeyReleaseEdit::programWriteReportsNothing()
{
    KeyReleaseEdit box;
    QSignalSpy released(&box, &KeyReleaseEdit::keyReleased);
    box.setText(QStringLiteral("5"));
    box.clear();
    box.insert(QStringLiteral("12,5"));
    QCOMPARE(released.size(), 0);
    QCOMPARE(box.text(), QStringLiteral("12,5"));

    // Typing reports once per key.
    QTest::keyClicks(&box, QStringLiteral("37"));
    QCOMPARE(released.size(), 2);
}

QTEST_MAIN(TstKeyReleaseEdit)
#include "tst_keyreleaseedit.moc"
