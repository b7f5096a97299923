#include "app/form3.h"

#include "widgets/controls.h"
#include "app/firstactivation.h"
#include "core/hosts.h"
#include "app/navigation.h"
#include "widgets/twips.h"
#include "widgets/url.h"
#include "panels/currencypanel.h"
#include "panels/dutypanel.h"
#include "panels/fuelpanel.h"
#include "panels/tippanel.h"
#include "panels/unitspanel.h"
#include "app/rateupdate.h"
#include "panels/translatepanel.h"
#include "panels/transportpanel.h"
#include "panels/webpanel.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineView>

#include <utility>

namespace {

// Client area that holds every control of the layout (outer 9820 x 7360 twips).
constexpr QSize clientSize{Twips::toPixels(9570), Twips::toPixels(6840)};

// Screen readers present the main window as a window (a frame), not as a
// filler inside one.
QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (className == u"Form3" && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// The longest the first showing waits for the banner page.
constexpr int bannerWaitMs = 5000;

// A store of its own for a window made without one, kept by the application
// so that it outlives the window.
RememberedValues &applicationStore()
{
    struct Holder final : QObject
    {
        RememberedValues store;
    };
    auto *holder = new Holder;
    holder->setParent(QCoreApplication::instance());
    return holder->store;
}

} // namespace

Form3::Form3()
    : Form3(applicationStore())
{
}

Form3::Form3(RememberedValues &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("Form3"));
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(windowAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setWindowTitle(QStringLiteral("Kartavio 1.00"));
    Controls::whiteSurface(this);
    setFont(Controls::programFont());

    // Load handler: panel 0, the fixed size, the three pages (vocabulary,
    // links, then the banner) and appDir.
    m_baseUrl = Hosts::baseUrl();
    startBanner();

    auto *navigation = new Navigation(this);
    connect(navigation, &Navigation::linkClicked, this, &Form3::Label5_Click);
    connect(navigation, &Navigation::logoClicked, this, &Form3::Image9_Click);

    buildPanels();
    moveFrame(0);
    setFixedSize(clientSize);
    m_wort->view()->load(QUrl(m_baseUrl + u"_tools/wortschatz"));
    m_links->view()->load(QUrl(m_baseUrl + u"_tools/links"));
    m_banner->load(QUrl(m_baseUrl + u"_tools"));

    m_appDir = QCoreApplication::applicationDirPath();
    if (!m_appDir.endsWith(u'/'))
        m_appDir += u'/';

    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    m_rateUpdate = new RateUpdate(*m_currency, this, cacheDir, this);
    connect(m_currency->command1(), &QPushButton::clicked, this, &Form3::Command1_Click);
    const StartupParts parts{m_store, *this, *m_rateUpdate, *m_panels, *m_units, *m_fuel,
                             *m_duty, *m_tip, *m_transport, m_appDir};
    m_firstActivation = new FirstActivation(parts, this);
    // A keyboard user sees where keys go from the start: on the first link.
    connect(m_firstActivation, &FirstActivation::done, this, [this] { Controls::focusFirst(this); });

    bannerLastInTabOrder();
}

// The banner view was made first (its page starts loading last, once the
// rest is built), which put it first in the Tab order. Tab from the window
// itself (where the first activation leaves the focus) starts with the first
// link instead, and reaches the banner last, after the navigation column and
// the panel.
void Form3::bannerLastInTabOrder()
{
    QWidget *last = previousInFocusChain();
    while (last != this && (last->focusPolicy() == Qt::NoFocus || m_banner->isAncestorOf(last)))
        last = last->previousInFocusChain();
    // Only a view that takes the focus can be moved (it passes the focus on to its page).
    m_banner->setFocusPolicy(Qt::StrongFocus);
    // The order is a ring through the window; with only the window between
    // the last control and the banner, Qt sees the banner after it already.
    // Moved behind the first link first, the banner then moves to the end.
    QWidget::setTabOrder(findChild<QWidget *>(QStringLiteral("Label5_0")), m_banner);
    QWidget::setTabOrder(last, m_banner);
}

double Form3::eurKurs() const
{
    return m_rateUpdate->eurKurs();
}

const QStringList &Form3::stateCodes() const
{
    return m_transport->stateCodes();
}

void Form3::buildPanels()
{
    const PanelContext context{m_store, [this] { return m_rateUpdate ? m_rateUpdate->eurKurs() : 0.0; }, m_baseUrl};
    m_panels = new QStackedWidget(this);
    m_panels->setObjectName(QStringLiteral("panels"));
    m_panels->setGeometry(Twips::rect(2280, 120, 7215, 5055));

    m_currency = new CurrencyPanel(context, m_panels);
    m_fuel = new FuelPanel(context, m_panels);
    m_units = new UnitsPanel(context, m_panels);
    m_duty = new DutyPanel(context, m_panels);
    auto *translate = new TranslatePanel(context, m_panels);
    m_links = new WebPanel(6, QStringLiteral("Nützliche Weblinks"), QStringLiteral("brwLinks"), m_panels);
    m_transport = new TransportPanel(context, m_panels);
    m_tip = new TipPanel(context, m_panels);
    m_wort = new WebPanel(12, QStringLiteral("Wortschatz"), QStringLiteral("BrwWort"), m_panels);

    const std::array<std::pair<int, QWidget *>, 9> panels = {{
        {0, m_currency}, {1, m_fuel}, {3, m_units}, {4, m_duty}, {5, translate},
        {6, m_links}, {10, m_transport}, {11, m_tip}, {12, m_wort},
    }};
    for (const auto &[index, panel] : panels) {
        m_frames[size_t(index)] = panel;
        m_panels->addWidget(panel);
    }
}

void Form3::startBanner()
{
    m_banner = embeddedView(this, QStringLiteral("AdBrw"), QStringLiteral("Werbebanner"), {25, 5235, 9495, 1575});
    // The window is shown once the banner view is no longer busy, without
    // waiting in a loop of its own: on the banner's load result, or after
    // the bound.
    connect(m_banner, &QWebEngineView::loadFinished, this, &Form3::bannerIdle);
    QTimer::singleShot(bannerWaitMs, Qt::PreciseTimer, this, &Form3::bannerIdle);
}

void Form3::bannerIdle()
{
    if (std::exchange(m_readyToShow, true))
        return;
    emit readyToShow();
}

void Form3::moveFrame(int frameNo)
{
    if (QWidget *panel = frame(frameNo))
        m_panels->setCurrentWidget(panel);
}

QWidget *Form3::frame(int frameNo) const
{
    return frameNo >= 0 && frameNo < panelSlots ? m_frames[size_t(frameNo)] : nullptr;
}

void Form3::Label5_Click(int index, bool fromKeyboard)
{
    if (const auto panel = Navigation::panelForLink(index)) {
        moveFrame(*panel);
        if (fromKeyboard)
            Controls::focusFirst(frame(*panel));
        return;
    }
    const QString path = Navigation::portalPathForLink(index);
    if (!path.isEmpty())
        openurl(this, u"http://" % Hosts::portal() % path);
}

void Form3::Image9_Click()
{
    openurl(this, u"http://" % Hosts::site());
}

void Form3::Command1_Click()
{
    m_rateUpdate->run();
}

bool Form3::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        m_firstActivation->activate();
        break;
    case QEvent::Show:
        // Without a window manager the window may never become active.
        QTimer::singleShot(0, m_firstActivation, &FirstActivation::activate);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}
