#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <optional>

// What a retrieval run ends with, for the display phase.
struct RateResult
{
    std::optional<double> rate; // the rate to use; nothing when no source gave one
    QString stand;              // the text shown after "Stand: "
    QImage chart;               // null when the chart could not be loaded
    bool online = false;        // true when the download phase succeeded
};

// Fetches the euro/dollar rate at most once per calendar day through a cache
// file, and the rate chart. Asynchronous: start() returns at once and
// finished() follows, also for every failure.
class RateRetrieval final : public QObject
{
    Q_OBJECT

public:
    RateRetrieval(const QString &cacheDir, QObject *parent = nullptr);

    // `currentRate` is kept when neither the cache nor the service gives one.
    void start(double currentRate);
    bool isRunning() const { return m_running; }

signals:
    void finished(const RateResult &result);

private:
    QString m_cacheDir;
    bool m_running = false;
};
