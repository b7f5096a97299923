#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QLabel;
class QTimer;

// The please-wait window: borderless, not in the task bar, centred on its
// owner, with a small picture swinging across a globe. Its tag holds the
// start-up marker. The rate update shows and hides it.
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *owner);

    // Shows the window centred on its owner, without blocking. While it is
    // up it follows the owner, so it stays centred where the window manager
    // places (or the user moves) the owner.
    void showCentered();

    // The start-up marker: "done" once the start-up retrieval has come back.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Steps of the swinging picture Image2, one per 10 ms since the window
    // was made: 15 twips each in the direction of its tag, turning right
    // below 1440 twips and left beyond 3360.
    void advance(qint64 ticks);
    float image2Left() const { return m_image2Left; }
    QString image2Tag() const { return m_image2Tag; }
    void setImage2(float left, const QString &tag);
    // Runs only while the window is shown; on showing, the picture is put
    // where its 10 ms steps since the window was made have taken it, so a
    // hidden window costs no wake-ups.
    QTimer *timer1() const { return m_timer1; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step();
    void catchUp();
    void placeImage2();
    void centre();

    QWidget *m_owner = nullptr;
    QString m_tag;
    QLabel *m_image2 = nullptr;
    QTimer *m_timer1 = nullptr;
    float m_image2Left = 1320.0f; // twips
    QString m_image2Tag;          // "r" moves right, anything else left
    QElapsedTimer m_loaded;       // since the window was made
    qint64 m_ticksDone = 0;       // steps of that time already taken
};
