#pragma once

// The main window.
//
// Form3 owns, through Qt's parent chain, everything the user sees: the
// navigation column (Navigation wires the links of Label5 and the logo), a
// stack of the nine panels of Frame1 (one class each; panel 2 is a group
// inside panel 1), the banner view AdBrw, and the please-wait window Form2. It also holds the
// form-level values eurKurs, baseUrl, appDir and stateCodes, the settings
// store, and the rate retrieval. Panels get a PanelContext (the store, a way
// to read eurKurs, baseUrl), never the window; the first activation gets
// StartupParts. The children go before the members they use (~Form3).
//
// A key release in a calculator box: KeyReleaseEdit::keyReleased -> the
// panel's <box>_KeyUp handler -> its steps (Number::read, arithmetic,
// Number::format, setText on the other boxes, which runs no handler) -> last,
// RememberedValues::save(box), which writes the box's text under its name
// and replaces the settings file (new file, rename) before the handler
// returns; the flush to the disk follows on a worker thread once typing pauses.
// When the file cannot be written at once (another program holds its lock,
// the disk is full), the text stays pending and a timer writes it later;
// main() has the end of the session and of the program write it too.
//
// Start: the window is built, its three web pages start loading, and it is
// shown once the banner page has loaded (at most 5 s later). Its first
// activation (FirstActivation) runs Form2::startUpdate: window disabled,
// Command1_Click fetches the rate, showRate displays it and emits newRate
// (txtEur_KeyUp recomputes the dollar box); then the defaults table, the
// state list, the tip slider and the remembered texts. The first activation
// leaves the focus on the window; Tab runs from there down the navigation
// column and the logo, through the panel in front, to the banner last.

#include "settings/rememberedvalues.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class CurrencyPanel;
class DutyPanel;
class FirstActivation;
class Form2;
class FuelPanel;
class QStackedWidget;
class QWebEngineView;
class RateRetrieval;
class TipPanel;
class TransportPanel;
class UnitsPanel;
class WebPanel;
struct RateResult;

class Form3 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    // The form-level values.
    double eurKurs() const { return m_eurKurs; }
    QString baseUrl() const { return m_baseUrl; }
    QString appDir() const { return m_appDir; }
    const QStringList &stateCodes() const { return m_stateCodes; }
    const RememberedValues &store() const { return m_store; }
    RememberedValues &store() { return m_store; }

    // Brings panel frameNo to the front; an index without a panel does nothing.
    void moveFrame(int frameNo);

signals:
    // The window is built and the banner view has stopped loading (or the
    // wait for it has run out): show it. Emitted once.
    void readyToShow();
    // The display phase has set eurKurs (possibly to the value it had).
    void newRate(double rate);
    // A run of the rate retrieval has ended with its display phase.
    void rateShown();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    static constexpr int panelSlots = 13; // panel indices 0 to 12

    QWidget *frame(int frameNo) const;
    void Label5_Click(int index);
    void Image9_Click();
    // The rate retrieval: cache, download and display phases.
    void Command1_Click();
    void buildPanels();
    void startBanner();
    void bannerLastInTabOrder();
    void bannerIdle();
    void showRate(const RateResult &result);

    RememberedValues m_store;
    double m_eurKurs = 0.0;
    QString m_baseUrl;
    QString m_appDir;
    QStringList m_stateCodes;

    QStackedWidget *m_panels = nullptr;
    std::array<QWidget *, panelSlots> m_frames{};
    CurrencyPanel *m_currency = nullptr;
    FuelPanel *m_fuel = nullptr;
    UnitsPanel *m_units = nullptr;
    DutyPanel *m_duty = nullptr;
    WebPanel *m_links = nullptr;
    TransportPanel *m_transport = nullptr;
    TipPanel *m_tip = nullptr;
    WebPanel *m_wort = nullptr;
    QWebEngineView *m_banner = nullptr;
    std::unique_ptr<Form2> m_form2; // a window of its own, see Form2
    RateRetrieval *m_retrieval = nullptr;
    FirstActivation *m_firstActivation = nullptr;
    bool m_readyToShow = false;
};
