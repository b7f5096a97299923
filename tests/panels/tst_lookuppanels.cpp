// The translation and transport panels on their own, with a settings store
// and the browser replaced by a recorder of opened addresses.

#include "widgets/linklabel.h"
#include "widgets/url.h"
#include "panels/panelcontext.h"
#include "settings/rememberedvalues.h"
#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "panels/quietpage.h"
#include "panels/translatepanel.h"
#include "panels/transportpanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString base = u"http://127.0.0.1:9/"_s;
const QColor red(255, 0, 0);

// Closes every message box that comes up, noting what it showed.
class MessageCatcher final : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QColor listColour; // the list's background while the box is up
        bool selectable = false; // its text, with mouse and keyboard
    };

    explicit MessageCatcher(const QComboBox *list)
        : m_list(list)
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &MessageCatcher::poll);
        m_timer.start();
    }

    QList<Seen> seen;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                     m_list->palette().color(QPalette::Base),
                     box->textInteractionFlags().testFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard)});
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    }

    const QComboBox *m_list;
    QTimer m_timer;
};

} // namespace

class TestLookupPanels final : public QObject
{
    Q_OBJECT

public slots:
    // The stand-in browser.
    void openUrl(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void translateButtons_data();
    void translateButtons();
    void translateTextStoredOnEveryChange();
    void notHandedToTheBrowser_data();
    void notHandedToTheBrowser();

    void findState_data();
    void findState();
    void missingState_data();
    void missingState();
    void redStaysAfterLaterLookup();
    void entryWithoutCode();
    void railLink();
    void renderReloadsBounded();

private:
    PanelContext context() { return {*m_store, [] { return 1.0; }, base}; }
    std::unique_ptr<TransportPanel> transport(const QStringList &names, const QStringList &codes);

    std::unique_ptr<RememberedValues> m_store;
    QList<QUrl> m_opened;
};

void TestLookupPanels::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
    m_store = std::make_unique<RememberedValues>();
    QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
    QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
}

void TestLookupPanels::init()
{
    m_opened.clear();
}

void TestLookupPanels::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
}

// A shown transport panel listing `names`, nothing chosen; names beyond the
// codes become entries without a code.
std::unique_ptr<TransportPanel> TestLookupPanels::transport(const QStringList &names, const QStringList &codes)
{
    auto panel = std::make_unique<TransportPanel>(context());
    panel->show();
    QList<StateList::State> states;
    for (qsizetype i = 0; i < codes.size(); ++i)
        states.append({codes[i], names[i]});
    panel->addStates(states);
    for (qsizetype i = codes.size(); i < names.size(); ++i)
        panel->lstStates()->addItem(names[i]);
    panel->lstStates()->setCurrentIndex(-1);
    return panel;
}

void TestLookupPanels::translateButtons_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("toEnglish");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("German to English") << u"guten Tag"_s << true
                                       << QByteArray("http://127.0.0.1:9/_tools/trans.cgi?dir=eng&txt=guten%20Tag");
    QTest::newRow("English to German") << u"good morning"_s << false
                                       << QByteArray("http://127.0.0.1:9/_tools/trans.cgi?dir=ger&txt=good%20morning");
    // Line break, & and #: the box's plain text is what gets encoded.
    QTest::newRow("line break, & and #")
        << u"Tom & Jerry\n#1?"_s << true
        << QByteArray("http://127.0.0.1:9/_tools/trans.cgi?dir=eng&txt=Tom%20%26%20Jerry%0A%231%3F");
    QTest::newRow("empty text is sent too") << QString() << true
                                            << QByteArray("http://127.0.0.1:9/_tools/trans.cgi?dir=eng&txt=");
}

void TestLookupPanels::translateButtons()
{
    QFETCH(QString, text);
    QFETCH(bool, toEnglish);
    QFETCH(QByteArray, expected);

    TranslatePanel panel(context());
    panel.show();
    QCOMPARE(panel.objectName(), u"Frame1_5"_s);
    QCOMPARE(panel.command3()->text(), u"Deutsch->Englisch"_s);
    QCOMPARE(panel.command4()->text(), u"Englisch->Deutsch"_s);

    panel.txtTrans()->setPlainText(text);
    QTest::mouseClick(toEnglish ? panel.command3() : panel.command4(), Qt::LeftButton);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.constFirst().toEncoded(), expected);
}

// A browser is started with the address as one argument of its command
// line; one longer than that allows, or no browser at all, is not lost in
// silence.
void TestLookupPanels::notHandedToTheBrowser_data()
{
    QTest::addColumn<qsizetype>("beyond"); // characters beyond the longest address
    QTest::addColumn<bool>("browser");     // whether a browser can be started
    QTest::addColumn<QString>("message");  // empty: the address was opened
    QTest::newRow("longest address") << qsizetype(0) << true << QString();
    QTest::newRow("one character more")
        << qsizetype(1) << true << u"Der Text ist zu lang, um ihn an den Browser zu übergeben. Bitte kürzen Sie ihn."_s;
    QTest::newRow("no browser")
        << qsizetype(0) << false << u"Es konnte kein Webbrowser gestartet werden, um die Seite zu öffnen."_s;
}

void TestLookupPanels::notHandedToTheBrowser()
{
    QFETCH(qsizetype, beyond);
    QFETCH(bool, browser);
    QFETCH(QString, message);
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([this, path] {
        qputenv("PATH", path);
        QDesktopServices::setUrlHandler(u"http"_s, this, "openUrl");
    });
    if (!browser) {
        QDesktopServices::unsetUrlHandler(u"http"_s);
        qputenv("PATH", "/nonexistent"); // no xdg-open, no browser
    }
    TranslatePanel panel(context());
    panel.show();
    const qsizetype prefix = base.size() + u"_tools/trans.cgi?dir=eng&txt="_s.size();
    panel.txtTrans()->setPlainText(QString(maxAddressLength - prefix + beyond, u'a'));
    QComboBox none;
    MessageCatcher catcher(&none);
    QTest::mouseClick(panel.command3(), Qt::LeftButton);
    QCOMPARE(m_opened.size(), message.isEmpty() && browser ? 1 : 0);
    QCOMPARE(catcher.seen.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        const MessageCatcher::Seen &box = catcher.seen.constFirst();
        QCOMPARE(box.title, u"Fehler"_s);
        QCOMPARE(box.text.section(u'\n', 0, 0), message);
        // Without a browser, a warning with the address to copy by hand.
        QCOMPARE(box.icon, browser ? QMessageBox::Information : QMessageBox::Warning);
        const QString address = u'\n' + base + u"_tools/trans.cgi?dir=eng&txt="_s + panel.txtTrans()->toPlainText();
        QCOMPARE(box.text.endsWith(address) && box.selectable, !browser);
    }
}

void TestLookupPanels::translateTextStoredOnEveryChange()
{
    TranslatePanel panel(context());
    panel.show();
    QPlainTextEdit *box = panel.txtTrans();
    QCOMPARE(box->objectName(), u"txtTrans"_s);
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(box->toPlainText(), u"Dieses Tool entscheidet anhand der Textlänge automatisch, welcher Dienst "
                                 u"zum Übersetzen verwendet wird."_s);

    // What the settings file holds, read from its bytes, not through QSettings' cache of it.
    const auto storedOnDisk = [] {
        const QByteArray bytes = TestEnv::contents(TestEnv::settingsFile());
        return TestEnv::readIni(bytes, u"Kartavio"_s).value(u"txtTrans"_s).toString();
    };
    box->clear();
    box->setFocus();
    const QString typed = u"Wo ist der Bahnhof?"_s;
    for (const QChar c : typed) {
        QTest::keyClick(box, c.toLatin1());
        // On disk after every single key, not only at the end.
        QCOMPARE(storedOnDisk(), box->toPlainText());
    }
    QCOMPARE(m_store->value(u"txtTrans"_s), typed);

    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, u"Zeile zwei"_s);
    QCOMPARE(storedOnDisk(), typed + u"\nZeile zwei");

    // A program write (the start-up restore) is a change as well.
    box->setPlainText(u"Grüße"_s);
    QCOMPARE(storedOnDisk(), u"Grüße"_s);
    QVERIFY(m_opened.isEmpty());
}

void TestLookupPanels::findState_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first entry") << 0 << QByteArray("http://127.0.0.1:9/_tools/ptrans.cgi?AL");
    QTest::newRow("last entry") << 3 << QByteArray("http://127.0.0.1:9/_tools/ptrans.cgi?DC");
}

void TestLookupPanels::findState()
{
    QFETCH(int, index);
    QFETCH(QByteArray, expected);

    const auto panel = transport({u"Alabama"_s, u"Alaska"_s, u"Kalifornien"_s, u"Washington, D.C."_s},
                                 {u"AL"_s, u"AK"_s, u"CA"_s, u"DC"_s});
    QVERIFY(panel->lstStates()->isEditable());
    QVERIFY(panel->lstStates()->currentText().isEmpty());

    panel->lstStates()->setCurrentIndex(index);
    MessageCatcher catcher(panel->lstStates());
    QTest::mouseClick(panel->command5(), Qt::LeftButton);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.constFirst().toEncoded(), expected);
    QVERIFY(catcher.seen.isEmpty());
    QVERIFY(panel->lstStates()->palette().color(QPalette::Base) != red);
}

void TestLookupPanels::missingState_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");

    QTest::newRow("nothing chosen") << true << -1 << QString();
    QTest::newRow("empty list") << false << -1 << QString();
    QTest::newRow("name typed, not chosen") << true << -1 << u"Texas"_s;
    QTest::newRow("chosen, then typed over") << true << 1 << u"Texas"_s;
}

void TestLookupPanels::missingState()
{
    QFETCH(bool, filled);
    QFETCH(int, index);
    QFETCH(QString, typed);

    const QStringList codes = filled ? QStringList{u"AL"_s, u"AK"_s} : QStringList();
    const auto panel = transport(filled ? QStringList{u"Alabama"_s, u"Alaska"_s} : QStringList(), codes);
    QComboBox *list = panel->lstStates();
    list->setCurrentIndex(index);
    if (!typed.isEmpty()) {
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), typed);
    }
    const QColor before = list->palette().color(QPalette::Base);
    QVERIFY(before != red);

    MessageCatcher catcher(list);
    for (int click = 1; click <= 2; ++click) {
        QTest::mouseClick(panel->command5(), Qt::LeftButton);
        QCOMPARE(catcher.seen.size(), click); // once per click
        const MessageCatcher::Seen &box = catcher.seen.constLast();
        QCOMPARE(box.title, u"Fehler"_s);
        QCOMPARE(box.text, u"Bitte erst einen Staat auswählen!"_s);
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // Red only once the box is closed.
        QCOMPARE(box.listColour, click == 1 ? before : red);
        QCOMPARE(list->palette().color(QPalette::Base), red);
    }
    QVERIFY(m_opened.isEmpty());
}

void TestLookupPanels::redStaysAfterLaterLookup()
{
    const auto panel = transport({u"Alabama"_s, u"Alaska"_s}, {u"AL"_s, u"AK"_s});
    MessageCatcher catcher(panel->lstStates());
    panel->Command5_Click();
    QCOMPARE(catcher.seen.size(), 1);

    panel->lstStates()->setCurrentIndex(1);
    panel->Command5_Click();
    QCOMPARE(catcher.seen.size(), 1);
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.constFirst().toEncoded(), QByteArray("http://127.0.0.1:9/_tools/ptrans.cgi?AK"));
    QCOMPARE(panel->lstStates()->palette().color(QPalette::Base), red);
}

// A list entry beyond the codes (filled from elsewhere) must not read past them.
void TestLookupPanels::entryWithoutCode()
{
    const auto panel = transport({u"Alabama"_s, u"Nirgendwo"_s}, {u"AL"_s});
    panel->lstStates()->setCurrentIndex(1);
    MessageCatcher catcher(panel->lstStates());
    panel->Command5_Click();
    QVERIFY(m_opened.isEmpty());
    QVERIFY(catcher.seen.isEmpty());
}

void TestLookupPanels::railLink()
{
    TransportPanel panel(context());
    panel.show();
    LinkLabel *link = panel.label40();
    QCOMPARE(link->objectName(), u"Label40"_s);
    QCOMPARE(link->text(), u"https://www.amtrak.com"_s);
    QVERIFY(link->isUnderlined());
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.constFirst().toString(), link->text());
}

// An embedded page whose renderer keeps dying is reloaded three times a
// minute at most, not for ever.
void TestLookupPanels::renderReloadsBounded()
{
    ReloadBound bound;
    for (const qint64 now : {1000, 1001, 1002})
        QVERIFY(bound.admit(now));
    QVERIFY(!bound.admit(1003));
    QVERIFY(!bound.admit(60999));
    QVERIFY(bound.admit(61000)); // a minute after the first
    QVERIFY(!bound.admit(61000));
}

QTEST_MAIN(TestLookupPanels)
#include "tst_lookuppanels.moc"
