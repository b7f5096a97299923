#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class DutyPanel;
class FuelPanel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class RateUpdate;
class RememberedValues;
class TipPanel;
class TransportPanel;
class UnitsPanel;

// What the first activation works on, handed over by the main window.
struct StartupParts
{
    RememberedValues &store;
    QWidget &window; // disabled while the start-up retrieval runs
    RateUpdate &rate; // its please-wait window's tag is the start-up marker
    QWidget &panels; // holds every box restored by its name
    UnitsPanel &units;
    FuelPanel &fuel;
    DutyPanel &duty;
    TipPanel &tip;
    TransportPanel &transport;
    QString appDir;
};

// The work of the main window's first activation, in its order: the
// please-wait window's update (the rate update with the window disabled),
// the start-up marker, the start-up defaults and recomputations, the state
// list, the tip slider and the remembered texts. It runs once per program
// run; later activations do nothing. done() follows the last step.
class FirstActivation final : public QObject
{
    Q_OBJECT

public:
    FirstActivation(const StartupParts &parts, QObject *parent);

    void activate();
    bool isDone() const;

signals:
    void done();

private:
    void afterRetrieval();
    // Sets the box to its stored text, or to its default when nothing is stored.
    void setDefault(QStringView key);
    // Puts back the stored text of the box with that name, as loader does.
    void load(QStringView box);

    StartupParts m_parts;
    // The boxes by name, gathered in one pass over the panels.
    QHash<QString, QLineEdit *> m_lineBoxes;
    QHash<QString, QPlainTextEdit *> m_textBoxes;
    bool m_started = false;
};
