#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class CurrencyPanel;
class Form2;
class QWidget;
class RateRetrieval;
struct RateResult;

// The rate update: owns the retrieval, its display phase on panel 0, eurKurs
// and the please-wait window. A run puts up that window and disables Command1; when
// the retrieval's result is in, the display phase shows it (stand text, rate
// line, chart, the dollar box recomputed), Command1 is enabled again and the
// please-wait window hidden, and done() follows.
class RateUpdate final : public QObject
{
    Q_OBJECT

public:
    // `window` is the main window, which the please-wait window is centred
    // on; `cacheDir` holds eurkurs.txt and eurchart.gif.
    RateUpdate(CurrencyPanel &currency, QWidget *window, const QString &cacheDir, QObject *parent);
    ~RateUpdate() override;

    // The please-wait window, made when first shown or first asked for (its
    // tag holds the start-up marker), so that its picture starts its swing
    // at the start.
    Form2 &waitWindow();

    // US dollars per euro; 0 until a rate is known.
    double eurKurs() const { return m_eurKurs; }
    bool isRunning() const;

    // A run, unless one is going (Command1 is disabled then anyway).
    void run();
    // The start-up run: `window` is disabled for the run, and enabled and
    // given the focus after it.
    void runDisabling(QWidget *window);

signals:
    void started();
    void done();

private:
    void display(const RateResult &result);

    CurrencyPanel &m_currency;
    QWidget *m_window = nullptr;   // the please-wait window's owner
    std::unique_ptr<Form2> m_wait; // a window of its own, see Form2
    RateRetrieval *m_retrieval = nullptr;
    double m_eurKurs = 0.0;
    QPointer<QWidget> m_disabled; // the window disabled for this run
};
