#pragma once

#include <QString>
#include <QWidget>

// The please-wait window: borderless, not in the task bar, centred on its
// owner, with a small picture swinging across a globe. It also carries the
// start-up entry into the rate retrieval, update().
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *owner);

    // Start-up retrieval: disables the owner and asks for the retrieval
    // (retrievalRequested); when the owner reports retrievalFinished(), hides
    // this window, enables and focuses the owner and emits updateFinished().
    void update();
    void retrievalFinished();

    // Shows the window centred on its owner, without blocking.
    void showCentered();

    // The start-up marker: "done" once the start-up retrieval has come back.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

signals:
    void retrievalRequested();
    void updateFinished();

private:
    QWidget *m_owner = nullptr;
    QString m_tag;
    bool m_updating = false;
};
