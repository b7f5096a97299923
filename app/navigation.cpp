#include "app/navigation.h"

#include "widgets/controls.h"
#include "widgets/linklabel.h"
#include "widgets/pictures.h"
#include "widgets/twips.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>

namespace {

struct LinkLayout
{
    int index;
    const char16_t *caption;
    int top;
    int width;
};

struct GroupLayout
{
    const char16_t *name;
    const char16_t *caption;
    TwipsRect place;
    std::array<LinkLayout, 5> links; // index -1 ends the list
};

constexpr std::array<GroupLayout, 3> groups = {{
    {u"Frame2", u"Offline-Tools", {120, 120, 1935, 1575},
     {{{0, u"Währungsumrechnung", 240, 1620},
       {1, u"Benzin", 480, 480},
       {2, u"Weitere Umrechnungen", 720, 1695},
       {3, u"Zoll & Freigrenzen", 960, 1260},
       {12, u"Trinkgeldrechner", 1200, 1200}}}},
    {u"Frame3", u"Web Preisvergleich", {120, 1800, 1935, 1095},
     {{{6, u"Mietwagen", 240, 780},
       {7, u"Flüge", 480, 390},
       {8, u"Unterkunft", 720, 750},
       {-1, nullptr, 0, 0},
       {-1, nullptr, 0, 0}}}},
    {u"Frame4", u"Online-Tools", {120, 3000, 1935, 1335},
     {{{4, u"Übersetzen", 240, 810},
       {5, u"Nützliche Weblinks", 480, 1365},
       {9, u"Bus & Zugverbindungen", 720, 1710},
       {11, u"Wortschatz", 960, 810},
       {-1, nullptr, 0, 0}}}},
}};

// Link index to panel index; -1 for the portal links and the missing 10.
constexpr std::array<int, Navigation::linkCount> linkPanels = {0, 1, 3, 4, 5, 6, -1, -1, -1, 10, -1, 12, 11};

QFrame *line(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *l = new QFrame(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAutoFillBackground(true);
    QPalette dark = l->palette();
    dark.setColor(QPalette::Window, QColor(128, 128, 128));
    l->setPalette(dark);
    return l;
}

} // namespace

Navigation::Navigation(QWidget *window)
    : QObject(window)
{
    auto *background = new QFrame(window);
    background->setObjectName(QStringLiteral("Shape1"));
    background->setGeometry(Twips::rect(0, 0, 2175, 5175));
    background->setAutoFillBackground(true);
    QPalette shade = background->palette();
    shade.setColor(QPalette::Window, QColor(226, 234, 246));
    background->setPalette(shade);
    background->setMouseTracking(true);
    background->installEventFilter(this);

    line(window, QStringLiteral("Line1_0"), QRect(Twips::toPixels(2160), 0, 1, Twips::toPixels(5160)));
    line(window, QStringLiteral("Line1_1"), QRect(0, Twips::toPixels(5160), Twips::toPixels(2160), 1));

    for (const GroupLayout &layout : groups) {
        QGroupBox *group = Controls::group(window, QString::fromUtf16(layout.name), QString::fromUtf16(layout.caption),
                                           layout.place);
        group->setMouseTracking(true);
        group->installEventFilter(this);
        for (const LinkLayout &linkLayout : layout.links) {
            if (linkLayout.index < 0)
                break;
            LinkLabel *l = Controls::link(group, QStringLiteral("Label5_%1").arg(linkLayout.index),
                                          QString::fromUtf16(linkLayout.caption), {120, linkLayout.top, linkLayout.width, 195});
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setUnderlined(false);
            l->adjustSize(); // never cut a caption off, whatever the font
            const int index = linkLayout.index;
            connect(l, &LinkLabel::clicked, this, [this, l, index] { emit linkClicked(index, l->hasFocus()); });
            connect(l, &LinkLabel::hovered, this, [this, index] { Label5_MouseMove(index); });
            m_links[size_t(index)] = l;
        }
    }

    auto *logo = new LinkLabel(QString(), window);
    logo->setObjectName(QStringLiteral("Image9"));
    logo->setAccessibleName(QStringLiteral("Kartavio Startseite"));
    logo->setGeometry(Twips::rect(360, 4560, 1320, 465));
    logo->setPixmap(Pictures::logo());
    connect(logo, &LinkLabel::clicked, this, &Navigation::logoClicked);

    window->setMouseTracking(true);
    window->installEventFilter(this);
}

std::optional<int> Navigation::panelForLink(int index)
{
    if (index < 0 || index >= linkCount || linkPanels[size_t(index)] < 0)
        return std::nullopt;
    return linkPanels[size_t(index)];
}

QString Navigation::portalPathForLink(int index)
{
    switch (index) {
    case 6:
        return QStringLiteral("/mietwagen?s=t");
    case 7:
        return QStringLiteral("/flug-preisvergleich?s=t");
    case 8:
        return QStringLiteral("/hotels?s=t");
    default:
        return {};
    }
}

LinkLabel *Navigation::link(int index) const
{
    return index >= 0 && index < linkCount ? m_links[size_t(index)] : nullptr;
}

void Navigation::Label5_MouseMove(int index)
{
    LinkLabel *l = link(index);
    if (!l || l->isUnderlined())
        return;
    ununderline();
    l->setUnderlined(true);
}

void Navigation::ununderline()
{
    for (LinkLabel *l : m_links) {
        if (l)
            l->setUnderlined(false);
    }
}

// Pointer movement over the window, the column and the groups clears the underline.
bool Navigation::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        ununderline();
    return QObject::eventFilter(watched, event);
}
