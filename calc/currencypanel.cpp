#include "calc/currencypanel.h"

#include "app/controls.h"
#include "app/rememberedvalues.h"
#include "calc/keyreleaseedit.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>

CurrencyPanel::CurrencyPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 0, QStringLiteral("Währungsumrechnung"));
    m_command1 = Controls::button(this, QStringLiteral("Command1"), QStringLiteral("Kursdaten neu abrufen"), 4800, 720, 2295, 375);
    m_label3 = Controls::label(this, QStringLiteral("Label3"), QStringLiteral("Stand:"), 4800, 360, 2295, 375);
    m_label4 = Controls::label(this, QStringLiteral("Label4"), QStringLiteral("1 EUR = 1,000 $ / 1$ = 1,0000 EUR"), 120, 840, 4335, 375);
    m_image1 = Controls::label(this, QStringLiteral("Image1"), QString(), 120, 1200, 6975, 3735);
}

void CurrencyPanel::txtEur_KeyUp(int, int) {}
void CurrencyPanel::txtDollar_KeyUp(int, int) {}

void CurrencyPanel::setStandText(const QString &stand)
{
    m_label3->setText(u"Stand: " % stand);
}

void CurrencyPanel::setRateLine(const QString &line)
{
    m_label4->setText(line);
}

void CurrencyPanel::setChart(const QImage &chart)
{
    m_image1->setPixmap(QPixmap::fromImage(chart));
}
