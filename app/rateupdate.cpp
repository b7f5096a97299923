#include "app/rateupdate.h"

#include "app/form2.h"
#include "core/ratereply.h"
#include "core/rateretrieval.h"
#include "panels/currencypanel.h"

#include <QPushButton>

#include <utility>

RateUpdate::RateUpdate(CurrencyPanel &currency, QWidget *window, const QString &cacheDir, QObject *parent)
    : QObject(parent)
    , m_currency(currency)
    , m_window(window)
    , m_retrieval(new RateRetrieval(cacheDir, this))
{
    connect(m_retrieval, &RateRetrieval::finished, this, &RateUpdate::display);
}

RateUpdate::~RateUpdate() = default;

Form2 &RateUpdate::waitWindow()
{
    if (!m_wait)
        m_wait = std::make_unique<Form2>(m_window);
    return *m_wait;
}

bool RateUpdate::isRunning() const
{
    return m_retrieval->isRunning();
}

void RateUpdate::run()
{
    if (isRunning())
        return;
    waitWindow().showCentered();
    m_currency.command1()->setEnabled(false);
    emit started();
    m_retrieval->start(m_eurKurs);
}

void RateUpdate::runDisabling(QWidget *window)
{
    if (isRunning())
        return;
    m_disabled = window;
    window->setEnabled(false);
    run();
}

// Display phase: whatever the run got, shown on panel 0.
void RateUpdate::display(const RateResult &result)
{
    if (result.rate)
        m_eurKurs = *result.rate;
    m_currency.setStandText(result.stand);
    if (const auto line = RateReply::rateLine(m_eurKurs))
        m_currency.setRateLine(*line);
    if (!result.chart.isNull())
        m_currency.setChart(result.chart);
    else if (!result.series.isEmpty())
        m_currency.setSeries(result.series);
    m_currency.txtEur_KeyUp();
    m_currency.command1()->setEnabled(true);
    waitWindow().hide();
    if (QWidget *window = std::exchange(m_disabled, nullptr)) {
        window->setEnabled(true);
        window->activateWindow();
        window->setFocus();
    }
    emit done();
}
