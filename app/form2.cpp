#include "app/form2.h"

#include <QWindow>

#include "widgets/pictures.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int clientWidth = 5295; // twips
constexpr int clientHeight = 1215;
constexpr int image2Top = 600;
constexpr int image2Size = 360;

QLabel *picture(QWidget *parent, const QString &name, const QPixmap &pixmap, QRect geometry,
                bool stretched)
{
    auto *image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(geometry);
    image->setPixmap(pixmap);
    image->setScaledContents(stretched);
    return image;
}

} // namespace

Form2::Form2(QWidget *owner)
    // No parent widget: a child window would be disabled with its owner,
    // and this window must stay alive while the owner is disabled.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Bitte warten"));
    setFont(owner->font());
    // A window of its own does not take the owner's colours.
    setPalette(QApplication::palette());
    setAutoFillBackground(true);
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    shape->setGeometry(Twips::rect(0, 0, clientWidth, clientHeight));
    shape->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *label = new QLabel(QStringLiteral("Bitte warten Sie, während die aktuellsten Daten aus dem Internet geladen werden..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(Twips::rect(120, 120, 5055, 495));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);

    picture(this, QStringLiteral("Image1"), Pictures::globe(), Twips::rect(2280, 600, 480, 480), false);
    m_image2 = picture(this, QStringLiteral("Image2"), Pictures::arrow(),
                       Twips::rect(int(m_image2Left), image2Top, image2Size, image2Size), true);

    // The timer wakes the program only while the window is seen; the
    // picture still swings as if it had run all along (see catchUp).
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(10);
    connect(m_timer1, &QTimer::timeout, this, &Form2::catchUp);
    m_loaded.start();

    owner->window()->installEventFilter(this);
}

void Form2::showCentered()
{
    centre();
    winId(); // creates the native window, so it can be tied to its owner
    if (QWindow *window = windowHandle())
        window->setTransientParent(m_owner->window()->windowHandle());
    show();
    raise();
}

void Form2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    catchUp();
    m_timer1->start();
}

void Form2::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_timer1->stop();
}

// Takes the steps due since the window was made and not yet taken.
void Form2::catchUp()
{
    const qint64 due = m_loaded.elapsed() / 10;
    advance(due - m_ticksDone);
    m_ticksDone = std::max(m_ticksDone, due);
}

void Form2::advance(qint64 ticks)
{
    // After a few hundred steps from anywhere in the window the picture is
    // on its swing; whole swings after that change nothing and are skipped.
    constexpr qint64 settled = 1000;
    qint64 done = 0;
    for (; done < std::min(ticks, settled); ++done)
        step();
    if (done < ticks) {
        const float left = m_image2Left;
        const bool right = m_image2Tag == u"r";
        qint64 swing = 0;
        do {
            step();
            ++swing;
            ++done;
        } while (done < ticks && !(m_image2Left == left && (m_image2Tag == u"r") == right));
        for (qint64 rest = done < ticks ? (ticks - done) % swing : 0; rest > 0; --rest)
            step();
    }
    placeImage2();
}

void Form2::centre()
{
    QRect frame(QPoint(), size());
    frame.moveCenter(m_owner->window()->frameGeometry().center());
    move(frame.topLeft());
}

// The owner's frame is only known once the window manager has placed it,
// which may come after this window was shown.
bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        centre();
    return QWidget::eventFilter(watched, event);
}

void Form2::step()
{
    if (m_image2Tag == u"r")
        m_image2Left += 15.0f;
    else
        m_image2Left -= 15.0f;
    if (m_image2Left < 1440.0f)
        m_image2Tag = QStringLiteral("r");
    if (m_image2Left > 3360.0f)
        m_image2Tag = QStringLiteral("l");
}

void Form2::setImage2(float left, const QString &tag)
{
    m_image2Left = left;
    m_image2Tag = tag;
    placeImage2();
}

void Form2::placeImage2()
{
    const int left = qRound(m_image2Left / float(Twips::perPixel));
    m_image2->move(left, m_image2->y());
}
