// Keyboard and screen-reader access to the navigation column and every
// panel: the Tab order follows the layout, every control has a German
// accessible name, links are links, and result labels expose what they show.

#include "widgets/linklabel.h"
#include "widgets/resultlabel.h"
#include "helpers/allpanels.h"
#include "helpers/fitcheck.h"
#include "helpers/panelprobe.h"
#include "helpers/testenv.h"

#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QPoint topLeftIn(const QWidget *widget, const QWidget *panel)
{
    return widget->mapTo(panel, QPoint(0, 0));
}

// The controls Tab can reach, in reading order: rows top to bottom (tops
// within half a box height count as one row), left to right within a row.
QStringList readingOrder(QWidget *panel)
{
    QList<QWidget *> reachable;
    const auto children = panel->findChildren<QWidget *>();
    for (QWidget *widget : children) {
        if (FitCheck::isNamed(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(panel)
            && widget->isEnabled())
            reachable << widget;
    }
    std::sort(reachable.begin(), reachable.end(), [panel](QWidget *a, QWidget *b) {
        return topLeftIn(a, panel).y() < topLeftIn(b, panel).y();
    });
    constexpr int rowTolerance = 10;
    QStringList order;
    for (qsizetype start = 0; start < reachable.size();) {
        const int rowTop = topLeftIn(reachable[start], panel).y();
        qsizetype end = start;
        while (end < reachable.size() && topLeftIn(reachable[end], panel).y() - rowTop <= rowTolerance)
            ++end;
        QList<QWidget *> row = reachable.mid(start, end - start);
        std::sort(row.begin(), row.end(), [panel](QWidget *a, QWidget *b) {
            return topLeftIn(a, panel).x() < topLeftIn(b, panel).x();
        });
        for (QWidget *widget : row)
            order << widget->objectName();
        start = end;
    }
    return order;
}

// Controls a screen reader user works with: boxes, buttons, links, lists, sliders, results.
bool isOperable(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPushButton *>(widget)
            || qobject_cast<const LinkLabel *>(widget) || qobject_cast<const ResultLabel *>(widget)
            || qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSlider *>(widget)
            || qobject_cast<const QPlainTextEdit *>(widget);
}

// The accessibility events of `source` since `recorded` was last cleared.
QList<std::pair<QObject *, QAccessible::Event>> recorded;
QList<QAccessible::Event> eventsOf(const QObject *source)
{
    QList<QAccessible::Event> events;
    for (const auto &[object, type] : std::as_const(recorded))
        if (object == source)
            events << type;
    return events;
}

} // namespace

class TestA11y final : public QObject
{
    Q_OBJECT

public slots:
    // The stand-in browser for the pressed links: without one, the missing
    // browser's message box would wait for a click.
    void openUrl(const QUrl &) {}

private slots:
    void initTestCase();
    void init()
    {
        TestEnv::clearSettings();
        m_panels = std::make_unique<AllPanels>();
    }
    void cleanup() { m_panels.reset(); }

    void tabFollowsLayout_data() { addPanelRows(); }
    void tabFollowsLayout();
    void germanNames_data() { addPanelRows(); }
    void germanNames();
    void groupsAndLinks_data() { addPanelRows(); }
    void groupsAndLinks();
    void resultFollowsTyping_data();
    void resultFollowsTyping();
    void resultChangeIsAnnounced();

private:
    void addPanelRows();
    QWidget *panel(const QString &name) const { return m_panels->panel(name); }

    std::unique_ptr<AllPanels> m_panels;
};

void TestA11y::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
    QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
    QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
    // On the accessibility bus, the controls are built while a screen reader
    // listens, as it asks about them from the start.
    if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        QVERIFY(QTest::qWaitFor([] { return QAccessible::isActive(); }, 3000));
}


void TestA11y::addPanelRows()
{
    QTest::addColumn<QString>("panelName");
    for (const QString &name : AllPanels::names())
        QTest::newRow(qPrintable(name)) << name;
}


// Real Tab presses from the first control visit every reachable control
// once, in reading order, and come back round to the first.
void TestA11y::tabFollowsLayout()
{
    QFETCH(QString, panelName);
    QWidget *p = panel(panelName);
    const QStringList expected = readingOrder(p);
    QVERIFY2(expected.size() >= 2, qPrintable(expected.join(u", ")));

    QVERIFY(PanelProbe::showActive(p));
    p->findChild<QWidget *>(expected.first())->setFocus(Qt::TabFocusReason);

    QStringList visited;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        QWidget *owner = FitCheck::focusOwner(); // an editable list's inner box counts as the list
        QVERIFY(owner);
        visited << owner->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected + QStringList{expected.first()});
}

// Every control a user operates has a spoken name of its own: not empty, not
// its internal name, and different from every other control of the panel,
// so the two gallon price boxes (or the two Celsius and Fahrenheit boxes) can
// be told apart. Results keep their name while their text changes.
void TestA11y::germanNames()
{
    QFETCH(QString, panelName);
    const QWidget *p = panel(panelName);
    QSet<QString> names;
    int operable = 0;
    const auto children = p->findChildren<QWidget *>();
    for (QWidget *widget : children) {
        if (!isOperable(widget) || widget->objectName().isEmpty())
            continue;
        ++operable;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(iface);
        const QString name = iface->text(QAccessible::Name);
        const QByteArray where = widget->objectName().toUtf8() + ": \"" + name.toUtf8() + '"';
        QVERIFY2(!name.trimmed().isEmpty(), where.constData());
        QVERIFY2(name != widget->objectName(), where.constData());
        QVERIFY2(!names.contains(name), QByteArray("name used twice, " + where).constData());
        names.insert(name);
        // A box is named after what goes in it, not after what it holds now.
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            QVERIFY2(name != edit->text(), where.constData());
        if (auto *result = qobject_cast<ResultLabel *>(widget)) {
            QCOMPARE(iface->text(QAccessible::Description), result->text());
            QVERIFY2(name != result->text(), where.constData());
        }
    }
    QVERIFY(operable >= 3);
}


// Each group is named after its own caption, not the panel around it; links
// are links a screen reader can press: the twelve of the navigation column
// and the logo among them, the first one built included.
void TestA11y::groupsAndLinks()
{
    QFETCH(QString, panelName);
    QWidget *p = panel(panelName);
    auto groups = p->findChildren<QGroupBox *>();
    if (auto *panelGroup = qobject_cast<QGroupBox *>(p))
        groups << panelGroup;
    for (QGroupBox *group : std::as_const(groups)) {
        const QString name = QAccessible::queryAccessibleInterface(group)->text(QAccessible::Name);
        QCOMPARE(name, group->title().replace(u"&&"_s, u"&"_s));
    }
    const auto links = p->findChildren<LinkLabel *>();
    if (panelName == u"Navigation")
        QCOMPARE(links.size(), 13);
    for (LinkLabel *link : links) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(link);
        QCOMPARE(iface->role(), QAccessible::Link);
        QVERIFY(iface->actionInterface());
        QSignalSpy clicked(link, &LinkLabel::clicked);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicked.size(), 1);
    }
}

void TestA11y::resultFollowsTyping_data()
{
    QTest::addColumn<QString>("panelName");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("resultName");

    QTest::newRow("trip cost") << u"Frame1_1"_s << u"txtStrecke"_s << u"250"_s << u"lblFahrtPreis"_s;
    QTest::newRow("tip") << u"Frame1_11"_s << u"txtTrinkgeld"_s << u"84,50"_s << u"Label48"_s;
    QTest::newRow("allowance") << u"Frame1_4"_s << u"txtR"_s << u"5"_s << u"Label31"_s;
    QTest::newRow("duty") << u"Frame1_4"_s << u"txtZV"_s << u"1.250,00"_s << u"Label36"_s;
}

// After typing, the result's spoken text is the shown text, under the same name.
void TestA11y::resultFollowsTyping()
{
    QFETCH(QString, panelName);
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(QString, resultName);

    QWidget *p = panel(panelName);
    auto *box = p->findChild<QLineEdit *>(boxName);
    auto *result = p->findChild<ResultLabel *>(resultName);
    QVERIFY(box && result);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(result);
    const QString name = iface->text(QAccessible::Name);
    const QString before = result->text();

    PanelProbe::type(box, typed);

    QVERIFY2(result->text() != before, qPrintable(result->text()));
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), result->text());
}

// A new result is announced once, from the label itself; an unchanged one is not.
void TestA11y::resultChangeIsAnnounced()
{
    // Qt passes events on only while an assistive technology listens (the
    // accessibility bus tells, asynchronously).
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 3000))
        QSKIP("no accessibility bus: run under tools/a11y-session.sh");
    recorded.clear();
    QAccessible::installUpdateHandler([](QAccessibleEvent *event) { recorded.append({event->object(), event->type()}); });
    QWidget *p = panel(u"Frame1_11"_s);
    auto *slider = p->findChild<QScrollBar *>(u"scrTrinkgeld"_s);
    auto *percent = p->findChild<ResultLabel *>(u"Label45"_s);
    slider->setValue(slider->value() + 1);
    const QList<QAccessible::Event> announced = eventsOf(percent);
    slider->setValue(slider->value());
    QAccessible::installUpdateHandler(nullptr);
    QCOMPARE(announced, QList<QAccessible::Event>{QAccessible::DescriptionChanged});
    QCOMPARE(eventsOf(percent), announced);
}

QTEST_MAIN(TestA11y)
#include "tst_a11y.moc"
