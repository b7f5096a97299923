#include "panels/translatepanel.h"

#include "widgets/controls.h"
#include "settings/rememberedvalues.h"
#include "widgets/twips.h"
#include "widgets/url.h"
#include "core/lookups.h"

#include <QPlainTextEdit>
#include <QPushButton>

TranslatePanel::TranslatePanel(const PanelContext &context, QWidget *parent)
    : QGroupBox(parent)
    , m_context(context)
{
    Controls::panel(this, 5, QStringLiteral("Wörter & Texte übersetzen"));

    QGroupBox *frame = Controls::group(this, QStringLiteral("Frame13"), QStringLiteral("Übersetzung"),
                                       {120, 240, 6975, 4695});

    m_txtTrans = new QPlainTextEdit(frame);
    m_txtTrans->setObjectName(QStringLiteral("txtTrans"));
    Controls::plain(m_txtTrans); // normal weight under the bold group caption
    m_txtTrans->setGeometry(Twips::rect(120, 240, 6735, 3735));
    m_txtTrans->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtTrans->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtTrans->setAccessibleName(QStringLiteral("Zu übersetzender Text"));
    // Tab leaves the text for the buttons; a tab character means nothing to a translation.
    m_txtTrans->setTabChangesFocus(true);
    m_txtTrans->setPlainText(QStringLiteral(
        "Dieses Tool entscheidet anhand der Textlänge automatisch, welcher Dienst zum Übersetzen verwendet wird."));

    m_command3 = Controls::button(frame, QStringLiteral("Command3"), QStringLiteral("Deutsch->Englisch"),
                                  {120, 4080, 1695, 495});
    m_command4 = Controls::button(frame, QStringLiteral("Command4"), QStringLiteral("Englisch->Deutsch"),
                                  {2040, 4080, 1695, 495});
    m_command3->setAccessibleName(QStringLiteral("Von Deutsch nach Englisch übersetzen"));
    m_command4->setAccessibleName(QStringLiteral("Von Englisch nach Deutsch übersetzen"));
    Controls::tabOrder({m_txtTrans, m_command3, m_command4});

    // Connected after the initial text, so building the panel stores nothing.
    connect(m_txtTrans, &QPlainTextEdit::textChanged, this, &TranslatePanel::txtTrans_Change);
    connect(m_command3, &QPushButton::clicked, this, &TranslatePanel::Command3_Click);
    connect(m_command4, &QPushButton::clicked, this, &TranslatePanel::Command4_Click);
}

void TranslatePanel::Command3_Click()
{
    openLookup(this, Lookups::translateUrl(m_context.baseUrl, true, m_txtTrans->toPlainText()));
}

void TranslatePanel::Command4_Click()
{
    openLookup(this, Lookups::translateUrl(m_context.baseUrl, false, m_txtTrans->toPlainText()));
}

void TranslatePanel::txtTrans_Change()
{
    m_context.store.save(m_txtTrans);
}
