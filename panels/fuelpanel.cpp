#include "panels/fuelpanel.h"

#include "widgets/controls.h"
#include "widgets/pictures.h"
#include "settings/rememberedvalues.h"
#include "widgets/resultlabel.h"
#include "widgets/twips.h"
#include "widgets/url.h"
#include "core/conversions.h"
#include "core/moneyrules.h"
#include "widgets/keyreleaseedit.h"
#include "core/number.h"
#include "core/lookups.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

// A caption with its box to the right.
KeyReleaseEdit *captionedBox(QWidget *frame, const QString &box, const QString &caption, const QString &spoken,
                             const QString &text, int left, int top, int captionWidth, int boxWidth)
{
    return Controls::labelledBox(frame, {box, text, spoken, u"Label" % box.mid(3), caption,
                                         left + captionWidth + 45, top, boxWidth, left, captionWidth});
}

// A road running into the desert under a low sun.
QPixmap desertRoad(int width, int height)
{
    QPixmap pixmap = Pictures::canvas(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal horizon = height * 0.45;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(70, 130, 210));
    sky.setColorAt(1, QColor(250, 200, 140));
    p.fillRect(QRectF(0, 0, width, horizon), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(width * 0.78, horizon * 0.55), height * 0.1, height * 0.1);
    p.fillRect(QRectF(0, horizon, width, height - horizon), QColor(214, 170, 110));

    // Mesas on the horizon.
    QPainterPath mesa;
    mesa.moveTo(width * 0.05, horizon);
    mesa.lineTo(width * 0.1, horizon - height * 0.12);
    mesa.lineTo(width * 0.3, horizon - height * 0.12);
    mesa.lineTo(width * 0.35, horizon);
    mesa.closeSubpath();
    p.setBrush(QColor(170, 90, 60));
    p.drawPath(mesa);

    const qreal mid = width * 0.5;
    QPolygonF road;
    road << QPointF(mid - 2, horizon) << QPointF(mid + 2, horizon) << QPointF(width * 0.85, height)
         << QPointF(width * 0.15, height);
    p.setBrush(QColor(70, 70, 75));
    p.drawPolygon(road);
    p.setPen(QPen(QColor(250, 220, 60), 1.5, Qt::DashLine));
    p.drawLine(QPointF(mid, horizon + 2), QPointF(mid, height));
    return pixmap;
}

} // namespace

FuelPanel::FuelPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 1, QStringLiteral("Rechnungen rund um's Benzin / Gasoline"));
    buildConverter();
    buildTrip();
    buildStationLookup();

    QLabel *image2 = Controls::label(this, QStringLiteral("Image2"), QString(), {5280, 3330, 1815, 1215});
    image2->setPixmap(desertRoad(Twips::toPixels(1815), Twips::toPixels(1215)));

    Controls::tabOrder({m_txtGalPrice, m_txtLPriceD, m_txtLPriceE, m_txtMPG, m_txtLKM,
                        m_txtGalPrice2, m_txtVerbrauch, m_txtStrecke, m_txtPLZ, m_command2});
}

void FuelPanel::buildConverter()
{
    // Element 2 of the panel array, a plain group inside this panel.
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame1_2"), QStringLiteral("Umrechnung"), {120, 240, 6975, 1215});
    // Three prices in the upper row, the two consumption figures below.
    m_txtGalPrice = captionedBox(frame, QStringLiteral("txtGalPrice"), QStringLiteral("Gallonenpreis ($)"),
                                 QStringLiteral("Gallonenpreis in Dollar"), QStringLiteral("1,99"), 120, 330, 1500, 660);
    m_txtLPriceD = captionedBox(frame, QStringLiteral("txtLPriceD"), QStringLiteral("Literpreis ($)"),
                                QStringLiteral("Literpreis in Dollar"), QStringLiteral("1,00"), 2400, 330, 1500, 660);
    m_txtLPriceE = captionedBox(frame, QStringLiteral("txtLPriceE"), QStringLiteral("Literpreis (€)"),
                                QStringLiteral("Literpreis in Euro"), QStringLiteral("1,00"), 4680, 330, 1500, 660);
    m_txtMPG = captionedBox(frame, QStringLiteral("txtMPG"), QStringLiteral("Miles / Galon (MPG)"),
                            QStringLiteral("Verbrauch in Meilen pro Gallone"), QStringLiteral("22"), 120, 750, 1500, 660);
    m_txtLKM = captionedBox(frame, QStringLiteral("txtLKM"), QStringLiteral("Liter / 100 km"),
                            QStringLiteral("Verbrauch in Liter pro 100 Kilometer"), QStringLiteral("1,00"), 2400, 750, 1500, 660);

    connect(m_txtGalPrice, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtGalPrice_KeyUp);
    connect(m_txtLPriceD, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtLPriceD_KeyUp);
    connect(m_txtLPriceE, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtLPriceE_KeyUp);
    connect(m_txtMPG, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtMPG_KeyUp);
    connect(m_txtLKM, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtLKM_KeyUp);
}

void FuelPanel::buildTrip()
{
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame5"), QStringLiteral("Fahrtpreis errechnen"), {120, 1560, 6975, 1635});
    m_txtGalPrice2 = captionedBox(frame, QStringLiteral("txtGalPrice2"), QStringLiteral("Gallonenpreis ($):"),
                                  QStringLiteral("Gallonenpreis der Fahrt in Dollar"), QStringLiteral("1,99"), 120, 330, 1380, 1095);
    m_txtVerbrauch = captionedBox(frame, QStringLiteral("txtVerbrauch"), QStringLiteral("Verbrauch (MPG):"),
                                  QStringLiteral("Verbrauch der Fahrt in Meilen pro Gallone"), QStringLiteral("22"), 120, 765, 1380, 1095);
    m_txtStrecke = captionedBox(frame, QStringLiteral("txtStrecke"), QStringLiteral("Strecke (Meilen):"),
                                QStringLiteral("Strecke in Meilen"), QStringLiteral("0"), 120, 1200, 1380, 1095);
    m_lblFahrtPreis = Controls::result(frame, QStringLiteral("lblFahrtPreis"), QStringLiteral("Fahrtpreis: 0 US $"),
                                       QStringLiteral("Fahrtpreis in Dollar"), {3000, 825, 3855, 255}); // level with the middle caption

    connect(m_txtGalPrice2, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtGalPrice2_KeyUp);
    connect(m_txtVerbrauch, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtVerbrauch_KeyUp);
    connect(m_txtStrecke, &KeyReleaseEdit::keyReleased, this, &FuelPanel::txtStrecke_KeyUp);
}

void FuelPanel::buildStationLookup()
{
    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame6"), QStringLiteral("Benzinpreis"), {120, 3330, 5055, 735});
    Controls::label(frame, QStringLiteral("Label10"), QStringLiteral("Postleitzahl:"), {120, 285, 1335, 255});
    // Not remembered: it has no handler that stores it.
    m_txtPLZ = Controls::box(frame, QStringLiteral("txtPLZ"), QStringLiteral("33064"), {1680, 240, 735, 360});
    m_txtPLZ->setAccessibleName(QStringLiteral("Postleitzahl"));
    m_command2 = Controls::button(frame, QStringLiteral("Command2"), QStringLiteral("Günstigste Tankstelle finden"),
                                  {2640, 240, 2295, 375});
    m_command2->setAccessibleName(QStringLiteral("Günstigste Tankstelle zur Postleitzahl finden"));
    connect(m_command2, &QPushButton::clicked, this, &FuelPanel::Command2_Click);
}

// --- Converter. A step whose input cannot be read, or whose result is not
// finite (a rate of 0), leaves its target as it is.

void FuelPanel::txtGalPrice_KeyUp()
{
    m_txtGalPrice2->setText(m_txtGalPrice->text());
    if (const auto dollarsPerLitre = Conversions::litrePriceFromGallonPrice(Number::read(m_txtGalPrice->text())))
        m_txtLPriceD->setText(Number::format(*dollarsPerLitre));
    // From the dollar litre price as it now stands in its box, so that the
    // euro price agrees with the dollar figure the user sees.
    if (const auto euros = MoneyRules::dollarToEur(Number::read(m_txtLPriceD->text()), m_context.rate()))
        m_txtLPriceE->setText(Number::format(*euros));
    m_context.store.save(m_txtGalPrice);
}

void FuelPanel::txtLPriceD_KeyUp()
{
    const auto dollarsPerLitre = Number::read(m_txtLPriceD->text());
    if (const auto euros = MoneyRules::dollarToEur(dollarsPerLitre, m_context.rate()))
        m_txtLPriceE->setText(Number::format(*euros));
    // The trip group's gallon price; this group's own gallon box keeps its text.
    if (const auto gallon = Conversions::gallonPriceFromLitrePrice(dollarsPerLitre))
        m_txtGalPrice2->setText(Number::format(*gallon));
    m_context.store.save(m_txtLPriceD);
}

void FuelPanel::txtLPriceE_KeyUp()
{
    const auto eurosPerLitre = Number::read(m_txtLPriceE->text());
    if (const auto dollars = MoneyRules::eurToDollar(eurosPerLitre, m_context.rate()))
        m_txtLPriceD->setText(Number::format(*dollars));
    // This group's gallon box; the trip group's keeps its text.
    if (const auto gallon = Conversions::gallonPriceFromEuroLitrePrice(eurosPerLitre, m_context.rate()))
        m_txtGalPrice->setText(Number::format(*gallon));
    m_context.store.save(m_txtLPriceE);
}

void FuelPanel::txtMPG_KeyUp()
{
    if (const auto litres = Conversions::mpgToLitresPer100Km(Number::read(m_txtMPG->text())))
        m_txtLKM->setText(Number::format(*litres));
    m_context.store.save(m_txtMPG);
}

void FuelPanel::txtLKM_KeyUp()
{
    if (const auto mpg = Conversions::litresPer100KmToMpg(Number::read(m_txtLKM->text())))
        m_txtMPG->setText(Number::format(*mpg, Number::oneDecimalPattern));
    m_context.store.save(m_txtLKM);
}

// --- Trip cost. Program writes into these boxes do not recompute the
// result; only a key release in this group does.

void FuelPanel::txtStrecke_KeyUp()
{
    const auto cost = Conversions::tripCost(Number::read(m_txtStrecke->text()), Number::read(m_txtVerbrauch->text()),
                                            Number::read(m_txtGalPrice2->text()));
    if (cost)
        m_lblFahrtPreis->setResult(u"Fahrtkosten: " % Number::format(*cost, Number::moneyPattern) % u" $");
    m_context.store.save(m_txtStrecke);
}

void FuelPanel::txtVerbrauch_KeyUp()
{
    txtStrecke_KeyUp();
    m_context.store.save(m_txtVerbrauch);
}

void FuelPanel::txtGalPrice2_KeyUp()
{
    // A plain copy: the converter's litre prices are not recomputed.
    m_txtGalPrice->setText(m_txtGalPrice2->text());
    txtStrecke_KeyUp();
    m_context.store.save(m_txtGalPrice2);
}

void FuelPanel::Command2_Click()
{
    openLookup(this, Lookups::gasStationUrl(m_context.baseUrl, m_txtPLZ->text()));
}
