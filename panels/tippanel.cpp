#include "panels/tippanel.h"

#include "widgets/controls.h"
#include "widgets/focusmark.h"
#include "widgets/pictures.h"
#include "settings/rememberedvalues.h"
#include "widgets/resultlabel.h"
#include "settings/settingskeys.h"
#include "widgets/twips.h"
#include "widgets/keyreleaseedit.h"
#include "core/moneyrules.h"
#include "core/number.h"

#include <QLabel>
#include <QScrollBar>

namespace {

QLabel *paragraph(QWidget *parent, const QString &name, const QString &text, const TwipsRect &place)
{
    QLabel *label = Controls::label(parent, name, text, place);
    label->setWordWrap(true);
    return label;
}

} // namespace

TipPanel::TipPanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 11, QStringLiteral("Trinkgeldrechner"));

    paragraph(this, QStringLiteral("Label43"),
              QStringLiteral("In den USA ist es üblich, in Restaurants ein Trinkgeld zu bezahlen. "
                             "Dieses ist nicht immer schon auf der Rechnung als \"Gratuity\" oder \"Tip\" "
                             "ausgewiesen. Mit diesem Tool können Sie ein Trinkgeld anhand Ihrer "
                             "Zufriedenheit mit dem Service errechnen."),
              {120, 300, 6975, 900});

    Controls::label(this, QStringLiteral("Label44"), QStringLiteral("Zufriedenheit:"), {120, 1425, 1455, 255});
    Controls::picture(this, QStringLiteral("Image4"), Pictures::frowningFace(), 1680, 1320,
                      QStringLiteral("Unzufrieden"));
    m_scrTrinkgeld = new QScrollBar(Qt::Horizontal, this);
    m_scrTrinkgeld->setObjectName(QStringLiteral("scrTrinkgeld"));
    m_scrTrinkgeld->setGeometry(Twips::rect(2280, 1425, 3840, 255));
    m_scrTrinkgeld->setRange(12, 22);
    m_scrTrinkgeld->setValue(17);
    m_scrTrinkgeld->setSingleStep(1);
    m_scrTrinkgeld->setPageStep(1);
    // Dragging the thumb changes nothing until it is released.
    m_scrTrinkgeld->setTracking(false);
    // A scroll bar inverts its keys by default; here Right must mean more.
    m_scrTrinkgeld->setInvertedControls(false);
    m_scrTrinkgeld->setFocusPolicy(Qt::StrongFocus);
    m_scrTrinkgeld->setAccessibleName(QStringLiteral("Zufriedenheit mit dem Service"));
    FocusMark::attach(m_scrTrinkgeld);
    Controls::picture(this, QStringLiteral("Image8"), Pictures::smilingFace(), 6240, 1320,
                      QStringLiteral("Sehr zufrieden"));

    m_label45 = Controls::result(this, QStringLiteral("Label45"), QStringLiteral("Empfohlenes Trinkgeld (%): 17"),
                                 QStringLiteral("Empfohlenes Trinkgeld in Prozent"), {120, 1980, 6975, 255});

    Controls::label(this, QStringLiteral("Label46"), QStringLiteral("Rechnungsbetrag:"), {120, 2505, 1455, 255});
    m_txtTrinkgeld = Controls::box(this, QStringLiteral("txtTrinkgeld"), QStringLiteral("60,00"), {1680, 2460, 1215, 330});
    m_txtTrinkgeld->setAccessibleName(QStringLiteral("Rechnungsbetrag in Dollar"));
    Controls::label(this, QStringLiteral("Label47"), QStringLiteral("$"), {3000, 2505, 255, 255});

    m_label48 = Controls::result(this, QStringLiteral("Label48"), QStringLiteral("Empfohlenes Trinkgeld: "),
                                 QStringLiteral("Empfohlenes Trinkgeld in Dollar und Euro"), {120, 3000, 6975, 255});

    paragraph(this, QStringLiteral("Label49"),
              QStringLiteral("Bei zufrieden stellendem Service empfehlen sich etwa 17% Trinkgeld, das selbe "
                             "gilt für Friseure. Bei Taxifahreren liegt der Rahmen zwischen 15% und 20%. "
                             "Gepäckträger sollten 1-2$ pro Gepäckstück erhalten, Zimmermädchen 1-2$ pro "
                             "Nacht (eindeutig auf dem Kopfkissen platziert)."),
              {120, 3480, 6975, 1200});

    Controls::tabOrder({m_scrTrinkgeld, m_txtTrinkgeld});

    connect(m_txtTrinkgeld, &KeyReleaseEdit::keyReleased, this, &TipPanel::txtTrinkgeld_KeyUp);
    connect(m_scrTrinkgeld, &QScrollBar::valueChanged, this, &TipPanel::scrTrinkgeld_Change);
}

void TipPanel::txtTrinkgeld_KeyUp()
{
    // Stored first, so even an unreadable bill is remembered.
    m_context.store.save(m_txtTrinkgeld);

    // Both amounts are worked out before the caption is written: all or nothing.
    const auto bill = Number::read(m_txtTrinkgeld->text());
    if (!bill)
        return;
    const double percent = m_scrTrinkgeld->value();
    const auto dollars = MoneyRules::tipDollars(*bill, percent);
    const auto euros = MoneyRules::tipEuros(*bill, percent, m_context.rate());
    if (dollars && euros)
        m_label48->setResult(u"Empfohlenes Trinkgeld: " % Number::format(*dollars) % u" $ ("
                           % Number::format(*euros) % u" €)");
}

void TipPanel::scrTrinkgeld_Change()
{
    txtTrinkgeld_KeyUp();
    const QString percent = QString::number(m_scrTrinkgeld->value());
    m_label45->setResult(u"Empfohlenes Trinkgeld (%): " % percent);
    m_context.store.setValue(SettingsKeys::tipSlider, percent);
}

void TipPanel::setSliderValue(int value)
{
    m_scrTrinkgeld->setValue(value);
}
