#include "panels/currencypanel.h"

#include "panels/ratechart.h"

#include "widgets/controls.h"
#include "settings/rememberedvalues.h"
#include "widgets/resultlabel.h"
#include "widgets/keyreleaseedit.h"
#include "core/moneyrules.h"
#include "core/number.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

CurrencyPanel::CurrencyPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 0, QStringLiteral("Währungsumrechnung"));
    m_txtEur = Controls::box(this, QStringLiteral("txtEur"), QStringLiteral("1,00"), {120, 320, 1215, 300});
    m_txtEur->setAccessibleName(QStringLiteral("Euro"));
    Controls::label(this, QStringLiteral("Label1"), QStringLiteral("EUR = "), {1440, 350, 975, 375});
    m_txtDollar = Controls::box(this, QStringLiteral("txtDollar"), QStringLiteral("1,00"), {2040, 320, 1215, 345});
    m_txtDollar->setAccessibleName(QStringLiteral("US-Dollar"));
    Controls::label(this, QStringLiteral("Label2"), QStringLiteral("US $"), {3360, 350, 975, 375});

    m_label3 = Controls::result(this, QStringLiteral("Label3"), QStringLiteral("Stand:"),
                                QStringLiteral("Stand der Kursdaten"), {4800, 360, 2295, 375});
    QFont bold = m_label3->font();
    bold.setBold(true);
    m_label3->setFont(bold);

    m_command1 = Controls::button(this, QStringLiteral("Command1"), QStringLiteral("Kursdaten neu abrufen"), {4800, 720, 2295, 375});
    m_command1->setAccessibleName(QStringLiteral("Kursdaten neu abrufen"));
    m_label4 = Controls::result(this, QStringLiteral("Label4"), QStringLiteral("1 EUR = 1,000 $ / 1$ = 1,0000 EUR"),
                                QStringLiteral("Wechselkurs"), {120, 840, 4335, 375});
    m_image1 = Controls::label(this, QStringLiteral("Image1"), QString(), {120, 1200, 6975, 3735});
    // A picture box: the chart at its own size from the top-left corner,
    // clipped by the box.
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->setAccessibleName(QStringLiteral("Kursverlauf Euro in Dollar"));

    Controls::tabOrder({m_txtEur, m_txtDollar, m_command1});

    connect(m_txtEur, &KeyReleaseEdit::keyReleased, this, &CurrencyPanel::txtEur_KeyUp);
    connect(m_txtDollar, &KeyReleaseEdit::keyReleased, this, &CurrencyPanel::txtDollar_KeyUp);
}

void CurrencyPanel::txtEur_KeyUp()
{
    if (const auto euros = Number::read(m_txtEur->text()))
        if (const auto dollars = MoneyRules::eurToDollar(*euros, m_context.rate()))
            m_txtDollar->setText(Number::format(*dollars));
    m_context.store.save(m_txtEur);
}

void CurrencyPanel::txtDollar_KeyUp()
{
    // Without a rate this box neither converts nor remembers anything.
    const double rate = m_context.rate();
    if (rate == 0.0)
        return;
    if (const auto dollars = Number::read(m_txtDollar->text()))
        if (const auto euros = MoneyRules::dollarToEur(*dollars, rate))
            m_txtEur->setText(Number::format(*euros));
    m_context.store.save(m_txtDollar);
}

void CurrencyPanel::setStandText(const QString &stand)
{
    m_label3->setResult(u"Stand: " % stand);
}

void CurrencyPanel::setRateLine(const QString &line)
{
    m_label4->setResult(line);
}

void CurrencyPanel::setChart(const QImage &chart)
{
    if (chart.isNull())
        m_image1->clear();
    else
        m_image1->setPixmap(QPixmap::fromImage(chart));
}

void CurrencyPanel::setSeries(const ReferenceRates::Series &series)
{
    setChart(RateChart::draw(series, m_image1->size(), m_image1->devicePixelRatioF(), m_image1->font()));
}
