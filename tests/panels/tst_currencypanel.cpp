#include "panels/currencypanel.h"
#include "widgets/keyreleaseedit.h"
#include "helpers/panelprobe.h"

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QTest>

class TestCurrencyPanel final : public PanelTest<CurrencyPanel>
{
    Q_OBJECT

private slots:
    void keyReleaseConverts_data();
    void keyReleaseConverts();
    void retrievalHooks();

private:
    KeyReleaseEdit *box(const QString &name) const { return m_panel->findChild<KeyReleaseEdit *>(name); }
};

void TestCurrencyPanel::keyReleaseConverts_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("other"); // the other box afterwards
    QTest::addColumn<QStringList>("stored");

    const QString eur = QStringLiteral("txtEur");
    const QString dollar = QStringLiteral("txtDollar");
    const QStringList eurOnly{eur};
    const QStringList dollarOnly{dollar};

    QTest::newRow("100 euros") << eur << "100" << 1.2345 << "123,45" << eurOnly;
    QTest::newRow("81,00 euros back") << eur << "81,00" << 1.2345 << "99,99" << eurOnly;
    QTest::newRow("group separator typed") << eur << "1.000" << 1.2345 << "1.234,50" << eurOnly;
    QTest::newRow("longer than the box") << eur << "1.000.000.000" << 1.085 << "1.085.000.000,00" << eurOnly;
    QTest::newRow("negative euros") << eur << "-3" << 1.2345 << "-3,70" << eurOnly;
    QTest::newRow("euros without rate") << eur << "100" << 0.0 << "0,00" << eurOnly;
    QTest::newRow("euros emptied") << eur << "" << 1.2345 << "1,00" << eurOnly;
    QTest::newRow("euros unreadable") << eur << "12a" << 1.2345 << "1,00" << eurOnly;
    QTest::newRow("euros beyond double range") << eur << QString(401, u'9') << 1.2345 << "1,00" << eurOnly;

    QTest::newRow("100 dollars") << dollar << "100" << 1.2345 << "81,00" << dollarOnly;
    QTest::newRow("dollars grouped") << dollar << "1.234,56" << 1.2345 << "1.000,05" << dollarOnly;
    QTest::newRow("dollars without rate") << dollar << "100" << 0.0 << "1,00" << QStringList();
    QTest::newRow("dollars unreadable") << dollar << "abc" << 1.2345 << "1,00" << dollarOnly;
    QTest::newRow("dollars emptied") << dollar << "" << 1.2345 << "1,00" << dollarOnly;
}

void TestCurrencyPanel::keyReleaseConverts()
{
    QFETCH(QString, source);
    QFETCH(QString, typed);
    QFETCH(double, rate);
    QFETCH(QString, other);
    QFETCH(QStringList, stored);

    m_rate = rate;
    KeyReleaseEdit *from = box(source);
    KeyReleaseEdit *to = box(source == u"txtEur" ? QStringLiteral("txtDollar") : QStringLiteral("txtEur"));
    from->setText(typed);
    // A key that changes nothing still counts.
    QTest::keyRelease(from, Qt::Key_Right);

    QCOMPARE(to->text(), other);
    QCOMPARE(from->text(), typed); // the typed text is never rewritten
    QCOMPARE(PanelProbe::storedKeys(), stored);
    if (!stored.isEmpty())
        QCOMPARE(m_store->value(source), typed);
    // The written box shows its first character at its left edge, however long the text.
    QCOMPARE(to->cursorPosition(), 0);
    const QRect leftEdge(0, 0, to->fontMetrics().horizontalAdvance(other.left(1)), to->height());
    const QImage shown = to->grab(leftEdge).toImage();
    to->setText(other.left(1));
    QCOMPARE(to->grab(leftEdge).toImage(), shown);
}

void TestCurrencyPanel::retrievalHooks()
{
    auto *label3 = m_panel->findChild<QLabel *>(QStringLiteral("Label3"));
    auto *image1 = m_panel->findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(label3->font().bold());

    m_panel->setStandText(QStringLiteral("05.12.2026"));
    QCOMPARE(label3->text(), QStringLiteral("Stand: 05.12.2026"));

    // The chart stands at its own size in the box's top-left corner: a wide
    // one is clipped at the box's right edge, a small one is neither
    // stretched nor centred.
    const auto colourAt = [image1](QPoint at) { return image1->grab().toImage().pixelColor(at); };
    QImage chart(1000, 200, QImage::Format_RGB32);
    chart.fill(Qt::blue);
    m_panel->setChart(chart);
    QCOMPARE(image1->pixmap().deviceIndependentSize().toSize(), QSize(1000, 200));
    QCOMPARE(colourAt({0, 0}), QColor(Qt::blue));
    QCOMPARE(colourAt({image1->width() - 1, 199}), QColor(Qt::blue));
    QVERIFY(colourAt({0, 201}) != QColor(Qt::blue));

    QImage small(100, 50, QImage::Format_RGB32);
    small.fill(Qt::red);
    m_panel->setChart(small);
    QCOMPARE(colourAt({0, 0}), QColor(Qt::red));
    QCOMPARE(colourAt({99, 49}), QColor(Qt::red));
    QVERIFY(colourAt({100, 0}) != QColor(Qt::red));
    QVERIFY(colourAt({0, 50}) != QColor(Qt::red));
}

QTEST_MAIN(TestCurrencyPanel)
#include "tst_currencypanel.moc"
