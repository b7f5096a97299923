#include "online/rateretrieval.h"

#include <QTimer>

RateRetrieval::RateRetrieval(const QString &cacheDir, QObject *parent)
    : QObject(parent)
    , m_cacheDir(cacheDir)
{
}

void RateRetrieval::start(double currentRate)
{
    m_running = true;
    QTimer::singleShot(0, this, [this, currentRate] {
        m_running = false;
        RateResult result;
        if (currentRate > 0)
            result.rate = currentRate;
        emit finished(result);
    });
}
