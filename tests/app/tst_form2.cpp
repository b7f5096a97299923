#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "app/form2.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

class TestForm2 final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void tick_data();
    void tick();
    void timerRunsOnlyWhileShown();
    void layout();
    void showCentered();
};

void TestForm2::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
}

void TestForm2::tick_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<float>("expectedLeft");
    QTest::addColumn<QString>("expectedTag");

    QTest::newRow("first tick turns right") << 1320.0f << QString() << 1 << 1305.0f << u"r"_qs;
    QTest::newRow("turn at the right") << 3360.0f << u"r"_qs << 1 << 3375.0f << u"l"_qs;
    QTest::newRow("turn at the left") << 1440.0f << u"l"_qs << 1 << 1425.0f << u"r"_qs;
    QTest::newRow("exactly 1440 keeps its tag") << 1455.0f << u"l"_qs << 1 << 1440.0f << u"l"_qs;
    QTest::newRow("exactly 3360 keeps its tag") << 3345.0f << u"r"_qs << 1 << 3360.0f << u"r"_qs;
    QTest::newRow("any other tag moves left") << 2000.0f << u"x"_qs << 1 << 1985.0f << u"x"_qs;
    QTest::newRow("many swings stay exact") << 1425.0f << u"r"_qs << 260 * 50 + 1 << 1440.0f << u"r"_qs;
    QTest::newRow("a day of swings from the start") << 1320.0f << QString() << 8640000 << 2460.0f << u"l"_qs;
    QTest::newRow("off the grid, many swings") << 1427.0f << u"r"_qs << 258 * 40 + 1 << 1442.0f << u"r"_qs;
}

void TestForm2::tick()
{
    QFETCH(float, left);
    QFETCH(QString, tag);
    QFETCH(int, ticks);
    QFETCH(float, expectedLeft);
    QFETCH(QString, expectedTag);

    QWidget owner;
    Form2 form(&owner);
    form.timer1()->stop();
    QCOMPARE(form.image2Left(), 1320.0f);
    QCOMPARE(form.image2Tag(), QString());
    if (left != 1320.0f || !tag.isEmpty())
        form.setImage2(left, tag);
    form.advance(ticks);
    QCOMPARE(form.image2Left(), expectedLeft);
    QCOMPARE(form.image2Tag(), expectedTag);

    // The picture follows its position, 15 twips to the pixel.
    const auto *image2 = form.findChild<QLabel *>(u"Image2"_qs);
    QVERIFY(image2);
    QCOMPARE(image2->x(), qRound(expectedLeft / 15.0f));
    QCOMPARE(image2->y(), 40);
}

// A hidden window wakes nobody; shown, the picture stands where its steps
// since the window was made have taken it, and swings on.
void TestForm2::timerRunsOnlyWhileShown()
{
    QWidget owner;
    owner.show();
    Form2 form(&owner);
    auto *timer = form.findChild<QTimer *>(u"Timer1"_qs);
    QVERIFY(timer);
    QCOMPARE(timer, form.timer1());
    QCOMPARE(timer->interval(), 10);
    QVERIFY(!timer->isActive());
    QTest::qWait(300);
    QCOMPARE(form.image2Left(), 1320.0f);

    form.showCentered();
    QVERIFY(timer->isActive());
    // At least 30 steps: 1305 after the first, then 15 twips to the right each.
    QVERIFY2(form.image2Left() >= 1740.0f, qPrintable(QString::number(form.image2Left())));
    const float shownAt = form.image2Left();
    QTRY_VERIFY(form.image2Left() != shownAt);

    form.hide();
    QVERIFY(!timer->isActive());
}

void TestForm2::layout()
{
    QWidget owner;
    Form2 form(&owner);
    QVERIFY(form.windowFlags().testFlag(Qt::Tool));
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    owner.setEnabled(false); // the owner is disabled while this window shows
    QVERIFY(form.isEnabled());
    QCOMPARE(form.size(), QSize(353, 81));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    for (const auto &[name, geometry] : {std::pair{u"Shape1"_qs, QRect(0, 0, 353, 81)}, {u"Label1"_qs, QRect(8, 8, 337, 33)},
                                         {u"Image1"_qs, QRect(152, 40, 32, 32)}, {u"Image2"_qs, QRect(88, 40, 24, 24)}}) {
        const auto *widget = form.findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->geometry(), geometry);
    }

    const auto *label = form.findChild<QLabel *>(u"Label1"_qs);
    QCOMPARE(label->text(), u"Bitte warten Sie, während die aktuellsten Daten aus dem Internet geladen werden..."_qs);
    QVERIFY(label->alignment().testFlag(Qt::AlignHCenter));
    QCOMPARE(FitCheck::problems(&form), QStringList()); // the wrapped text fits, nothing sticks out
    // The pictures themselves are checked with every other picture of the program.
    QVERIFY(form.findChild<QLabel *>(u"Image2"_qs)->hasScaledContents());
}

void TestForm2::showCentered()
{
    QWidget owner;
    owner.setGeometry(100, 120, 640, 460);
    owner.show();
    Form2 form(&owner);
    form.showCentered();
    QVERIFY(form.isVisible());
    const QPoint offset = form.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QString::number(offset.x()) + u',' + QString::number(offset.y())));
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
