#pragma once

#include <QObject>

class Form3;

// The work of the main window's first activation: the start-up rate
// retrieval behind the please-wait window, then the start-up defaults and
// recomputations, the state list, the tip slider and the remembered texts.
// It runs once per program run; later activations do nothing.
class FirstActivation final : public QObject
{
    Q_OBJECT

public:
    explicit FirstActivation(Form3 &form);

    void activate();
    bool isDone() const;

signals:
    void done();

private:
    void afterRetrieval();
    void fillStates();
    void restoreEarly(QStringView box);

    Form3 &m_form;
    bool m_started = false;
};
