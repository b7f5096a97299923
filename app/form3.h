#pragma once

// The main window.
//
// Form3 owns, through Qt's parent chain, everything the user sees: the
// navigation column (Navigation wires the links of Label5 and the logo), a
// stack of the nine panels of Frame1 (one class each; panel 2 is a group
// inside panel 1), the banner view AdBrw, the rate update (RateUpdate: the
// retrieval, its display phase, eurKurs and the please-wait window Form2) and
// the first activation. It holds the form-level values baseUrl and appDir;
// eurKurs is the rate update's, the state codes are the transport panel's.
// The settings store is made before the window and outlives it. Panels get a
// PanelContext (the store, a way to read eurKurs, baseUrl), never the window;
// the first activation gets StartupParts.
//
// A key release in a calculator box: KeyReleaseEdit::keyReleased -> the
// panel's <box>_KeyUp handler -> its steps (Number::read, arithmetic,
// Number::format, setText on the other boxes, which runs no handler) -> last,
// RememberedValues::save(box), which writes the box's text under its name
// and replaces the settings file (new file, rename) before the handler
// returns; the flush to the disk follows on a worker thread once typing pauses.
// When the file cannot be written at once (another program holds its lock,
// the disk is full), the text stays pending and a timer writes it later;
// however the program ends, EndPath (made in main()) has it written first.
//
// Start: the window is built, its three web pages start loading, and it is
// shown once the banner page has loaded (at most 5 s later). Its first
// activation (FirstActivation, read top to bottom) runs the rate update with
// the window disabled: the please-wait window up, the retrieval, the display
// phase (txtEur_KeyUp recomputes the dollar box), the please-wait window
// hidden, the window enabled; then the start-up defaults, the state list, the
// tip slider and the remembered texts. Command1 runs the same rate update.
// The first activation ends with the focus on the first link, marked; Tab
// runs from there down the navigation column and the logo, through the panel
// in front, to the banner last. A link opened with the keyboard takes the
// focus along to the first control of its panel.

#include "settings/rememberedvalues.h"

#include <QStringList>
#include <QWidget>

#include <array>

class CurrencyPanel;
class DutyPanel;
class FirstActivation;
class FuelPanel;
class QStackedWidget;
class QWebEngineView;
class RateUpdate;
class TipPanel;
class TransportPanel;
class UnitsPanel;
class WebPanel;

class Form3 final : public QWidget
{
    Q_OBJECT

public:
    // `store` must outlive the window. Without one, the window uses the
    // program's store, which lives until the program ends.
    explicit Form3(RememberedValues &store, QWidget *parent = nullptr);
    Form3();

    // The form-level values.
    double eurKurs() const;
    QString baseUrl() const { return m_baseUrl; }
    QString appDir() const { return m_appDir; }
    const QStringList &stateCodes() const;
    const RememberedValues &store() const { return m_store; }
    RememberedValues &store() { return m_store; }

    // Brings panel frameNo to the front; an index without a panel does nothing.
    void moveFrame(int frameNo);

signals:
    // The window is built and the banner view has stopped loading (or the
    // wait for it has run out): show it. Emitted once.
    void readyToShow();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    static constexpr int panelSlots = 13; // panel indices 0 to 12

    QWidget *frame(int frameNo) const;
    void Label5_Click(int index, bool fromKeyboard);
    void Image9_Click();
    // The rate update: cache, download and display phases.
    void Command1_Click();
    void buildPanels();
    void startBanner();
    void bannerLastInTabOrder();
    void bannerIdle();

    RememberedValues &m_store;
    QString m_baseUrl;
    QString m_appDir;

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
    RateUpdate *m_rateUpdate = nullptr;
    FirstActivation *m_firstActivation = nullptr;
    bool m_readyToShow = false;
};
