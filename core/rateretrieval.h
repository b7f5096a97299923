#pragma once

#include <QByteArray>
#include <QDate>
#include <QDeadlineTimer>
#include <QImage>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include "core/referencerates.h"

#include <functional>
#include <optional>

class BoundedGet;
class QNetworkAccessManager;
struct DownloadResult;

// Why a run went offline or fetched again; off unless turned on, for example
// with QT_LOGGING_RULES="kartavio.rate.info=true".
Q_DECLARE_LOGGING_CATEGORY(rateLog)

// What a retrieval run ends with, for the display phase.
struct RateResult
{
    std::optional<double> rate; // the rate to use; nothing when no source gave one
    QString stand;              // the text shown after "Stand: "
    QImage chart;               // null when the chart could not be loaded
    ReferenceRates::Series series; // the course to draw, from the public source
    bool online = false;        // true when the download phase succeeded
};

// Fetches the euro/dollar rate at most once per calendar day through a cache
// file, and the rate chart. Asynchronous: start() returns at once and
// finished() follows, also for every failure.
//
// Cache phase: eurkurs.txt in the cache folder gives rate, stand text and
// fetch date; a fetch date of today with a readable eurchart.gif and a usable
// rate goes straight to the result. Otherwise the download phase fetches the
// rate reply and the chart from the service host, replaces eurchart.gif and
// then rewrites eurkurs.txt. Without a configured service host (the built-in
// placeholder) the public reference rates stand in for the service: the
// daily file gives the reply line, the 90-day file the series, which is kept
// in a file of its own beside the cache and drawn by the program, and
// eurchart.gif is left alone. Any failure there ends the run offline with the
// values taken so far. A failure before the new chart (or series) is written
// leaves the files as they were; one in rewriting eurkurs.txt leaves the new
// chart beside the old cache line. The download phase as a whole ends within
// the transfer timeout, however slowly a host answers.
// Cache files are read only as plain files; a link in their place is
// replaced by the new file, never followed. Nothing is logged unless the
// rateLog category is turned on.
class RateRetrieval final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maxReplyBytes = 4 * 1024;
    static constexpr qint64 maxChartBytes = 2 * 1024 * 1024;
    static constexpr int defaultTimeoutMs = 10000;
    // Largest chart side in pixels: several times what the picture box shows,
    // even at a high pixel density; bounds the work of decoding it.
    static constexpr int maxChartSide = 2048;

    RateRetrieval(const QString &cacheDir, QObject *parent = nullptr);

    // `currentRate` is kept when neither the cache nor the service gives one.
    void start(double currentRate);
    bool isRunning() const { return m_running; }

    // "host" or "host:port"; empty (the default) means Hosts::service(),
    // read at each start.
    void setServiceHost(const QString &host) { m_serviceHost = host; }
    // "host:port" of a plain-HTTP stand-in for the public reference rates;
    // empty (the default) means Hosts::referenceBase(), read at each start.
    void setReferenceHost(const QString &host) { m_referenceHost = host; }
    // Longest pause in a transfer, and longest time the whole download phase
    // may take, before it counts as failed.
    void setTransferTimeout(int ms) { m_timeoutMs = ms; }
    // Where "today" comes from; the system clock by default.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }

    QString cacheFile() const;
    QString chartFile() const;
    QString seriesFile() const;

    // The chart picture in `bytes`: only a GIF (by its signature) whose
    // declared size is at most maxChartSide on each side; decoded once.
    static std::optional<QImage> chartFrom(const QByteArray &bytes);

signals:
    void finished(const RateResult &result);

private:
    enum class Step { Idle, Rate, Chart, Daily, History };

    // Everything one run learns; a new run starts from a fresh one.
    struct Run
    {
        double currentRate = 0.0;
        QString host;
        bool reference = false; // the public reference rates instead of the service
        QString referenceBase;
        QDeadlineTimer deadline; // for the whole download phase
        Step step = Step::Idle;
        QString reply;
        std::optional<double> cacheRate;
        std::optional<QString> cacheStand;
        std::optional<double> replyRate;
        std::optional<QString> replyStand;
        bool chartFileRead = false; // the cached chart (or series) is read at most once a run
        RateResult result;
    };

    void readCache();
    void download(const QString &why);
    void fetch(const QString &path, Step step);
    void dailyArrived(const QByteArray &body);
    void historyArrived(const QByteArray &body);
    bool takeReply(const QString &reply);
    bool writeCache(const QString &file, const QString &name, const QByteArray &bytes);
    void arrived(const DownloadResult &download);
    void rateArrived(const QByteArray &body);
    void chartArrived(const QByteArray &body);
    static std::optional<QByteArray> readFile(const QString &path, qint64 limit);
    QImage cachedChart();
    ReferenceRates::Series cachedSeries();
    bool hasCachedPicture();
    void offline(const QString &why);
    void finish(bool online);
    void deliver();

    QString m_cacheDir;
    QString m_serviceHost;
    QString m_referenceHost;
    int m_timeoutMs = defaultTimeoutMs;
    std::function<QDate()> m_today = &QDate::currentDate;
    QNetworkAccessManager *m_network = nullptr;
    BoundedGet *m_get = nullptr;
    bool m_running = false;
    Run m_run;
};
