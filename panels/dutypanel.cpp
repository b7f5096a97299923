#include "panels/dutypanel.h"

#include "widgets/controls.h"
#include "widgets/linklabel.h"
#include "widgets/pictures.h"
#include "settings/rememberedvalues.h"
#include "widgets/resultlabel.h"
#include "widgets/url.h"
#include "widgets/keyreleaseedit.h"
#include "core/moneyrules.h"
#include "core/number.h"
#include "core/lookups.h"

#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>

namespace {

// A decorative city street at night: skyline with lit windows, a road
// with street lamps, drawn to fill `size` (logical pixels, at the screen's ratio).
QPixmap streetAtNight(QSize size)
{
    QPixmap pixmap = Pictures::canvas(size.width(), size.height());
    QPainter p(&pixmap);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(8, 12, 40));
    sky.setColorAt(1.0, QColor(40, 40, 90));
    p.fillRect(QRect(QPoint(), size), sky);

    const int road = size.height() * 3 / 4;
    QRandomGenerator dice(2009); // the same picture every time
    for (int x = 0; x < size.width();) {
        const int width = 24 + int(dice.bounded(36));
        const int top = size.height() / 6 + int(dice.bounded(size.height() / 3));
        p.fillRect(x, top, width - 3, road - top, QColor(25, 25, 35));
        for (int wy = top + 5; wy < road - 6; wy += 9)
            for (int wx = x + 4; wx < x + width - 8; wx += 8)
                if (dice.bounded(3) == 0)
                    p.fillRect(wx, wy, 4, 5, QColor(255, 220, 120));
        x += width;
    }

    p.fillRect(0, road, size.width(), size.height() - road, QColor(50, 50, 55));
    p.setPen(QPen(QColor(230, 230, 230), 2, Qt::DashLine));
    p.drawLine(0, (road + size.height()) / 2, size.width(), (road + size.height()) / 2);
    p.setRenderHint(QPainter::Antialiasing);
    for (int x = 40; x < size.width(); x += 120) {
        p.setPen(QPen(QColor(90, 90, 90), 2));
        p.drawLine(x, road, x, road - 30);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 240, 170, 90));
        p.drawEllipse(QPointF(x, road - 31), 9, 9);
        p.setBrush(QColor(255, 245, 200));
        p.drawEllipse(QPointF(x, road - 31), 3, 3);
    }
    return pixmap;
}

} // namespace

DutyPanel::DutyPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 4, QStringLiteral("Freigrenzen errechnen und Zoll schätzen"));

    QGroupBox *frame11 = Controls::group(this, QStringLiteral("Frame11"), QStringLiteral("Freigrenze (Stand: 30.01.2009)"),
                                         {120, 300, 6975, 1860});
    Controls::label(frame11, QStringLiteral("Label29"), QStringLiteral("Flugreisende:"), {120, 330, 2175, 255});
    m_txtR = Controls::box(frame11, QStringLiteral("txtR"), QStringLiteral("3"), {2400, 285, 735, 330});
    m_txtR->setAccessibleName(QStringLiteral("Anzahl der Flugreisenden"));
    Controls::label(frame11, QStringLiteral("Label30"), QStringLiteral("Davon unter 15 Jahre alt:"), {120, 735, 2175, 255});
    m_txtR15 = Controls::box(frame11, QStringLiteral("txtR15"), QStringLiteral("1"), {2400, 690, 735, 330});
    m_txtR15->setAccessibleName(QStringLiteral("Davon unter 15 Jahre alt"));
    m_label31 = Controls::result(frame11, QStringLiteral("Label31"), QStringLiteral("Freigrenze (Warenwert): "),
                                 QStringLiteral("Freigrenze in Euro und Dollar"), {120, 1125, 5055, 255});
    LinkLabel *label33 = Controls::link(frame11, QStringLiteral("Label33"), QStringLiteral("Weitere Zolldetails"), {5280, 1080, 1455, 255});
    Controls::label(frame11, QStringLiteral("Label32"),
                    QStringLiteral("Achtung: Dollarwert ist nur Richtwert - Kursschwankungen beachten!"),
                    {120, 1485, 6735, 255});

    QGroupBox *frame10 = Controls::group(this, QStringLiteral("Frame10"),
                                         QStringLiteral("Zoll schätzen (falls Freigrenze überschritten)"),
                                         {120, 2280, 6975, 1290});
    Controls::label(frame10, QStringLiteral("Label34"), QStringLiteral("Warenwert US $:"), {120, 330, 1455, 255});
    m_txtZV = Controls::box(frame10, QStringLiteral("txtZV"), QStringLiteral("600,00"), {1680, 285, 915, 330});
    m_txtZV->setAccessibleName(QStringLiteral("Warenwert in US-Dollar"));
    // The US sales tax group takes part in nothing and stays hidden.
    Controls::label(frame10, QStringLiteral("Label35"), QStringLiteral("Steuersatz USA %:"), {2700, 330, 1455, 255})->hide();
    KeyReleaseEdit *txtZS = Controls::box(frame10, QStringLiteral("txtZS"), QStringLiteral("7"), {4200, 285, 735, 330});
    txtZS->setAccessibleName(QStringLiteral("Steuersatz USA in Prozent"));
    txtZS->hide();
    LinkLabel *label37 = Controls::link(frame10, QStringLiteral("Label37"), QStringLiteral("Steuersätze USA"), {5280, 330, 1455, 255});
    label37->hide();
    m_label36 = Controls::result(frame10, QStringLiteral("Label36"), QStringLiteral("Zoll: "),
                                 QStringLiteral("Geschätzter Zoll in Euro"), {120, 885, 5055, 255});
    // 120 twips wider than its neighbours, same centre: the word needs the room.
    LinkLabel *label38 = Controls::link(frame10, QStringLiteral("Label38"), QStringLiteral("Einfuhrumsatzsteuer"), {5220, 840, 1575, 255});

    QLabel *image5 = Controls::label(this, QStringLiteral("Image5"), QString(), {120, 3690, 6975, 1245});
    image5->setPixmap(streetAtNight(image5->size()));

    Controls::tabOrder({m_txtR, m_txtR15, label33, m_txtZV, txtZS, label37, label38});

    connect(m_txtR, &QLineEdit::textChanged, this, &DutyPanel::txtR_Change);
    connect(m_txtR15, &QLineEdit::textChanged, this, &DutyPanel::txtR15_Change);
    connect(m_txtZV, &QLineEdit::textChanged, this, &DutyPanel::txtZV_Change);
    connect(label33, &LinkLabel::clicked, this, &DutyPanel::Label33_Click);
    connect(label37, &LinkLabel::clicked, this, &DutyPanel::Label37_Click);
    connect(label38, &LinkLabel::clicked, this, &DutyPanel::Label38_Click);
}

void DutyPanel::txtR_Change()
{
    // Everything is worked out before the caption is written: all or nothing.
    const auto travellers = Number::read(m_txtR->text());
    const auto under15 = Number::read(m_txtR15->text());
    if (travellers && under15) {
        const auto euros = MoneyRules::allowance(*travellers, *under15);
        const auto dollars = euros ? MoneyRules::eurToDollar(*euros, m_context.rate()) : std::nullopt;
        if (euros && dollars)
            m_label31->setResult(u"Freigrenze (Warenwert): " % Number::format(*euros) % u" € ("
                               % Number::format(*dollars) % u" $)");
    }
    m_context.store.save(m_txtR);
}

void DutyPanel::txtR15_Change()
{
    txtR_Change();
    m_context.store.save(m_txtR15);
}

void DutyPanel::txtZV_Change()
{
    // Stored first, so even an unreadable value is remembered.
    m_context.store.save(m_txtZV);
    if (const auto goods = Number::read(m_txtZV->text()))
        if (const auto duty = MoneyRules::duty(*goods, m_context.rate()))
            m_label36->setResult(u"Zoll: " % Number::format(*duty) % u" € + ggf. Einfuhrumsatzsteuer");
}

void DutyPanel::Label33_Click()
{
    redirect(1);
}

void DutyPanel::Label37_Click()
{
    redirect(3);
}

void DutyPanel::Label38_Click()
{
    redirect(3);
}

void DutyPanel::redirect(int nr)
{
    openurl(this, Lookups::redirectUrl(m_context.baseUrl, nr));
}
