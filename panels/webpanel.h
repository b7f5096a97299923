#pragma once

#include "widgets/twips.h"

#include <QGroupBox>

class QWebEngineView;

// An embedded view of the product site: a quiet page (no dialogs, no new
// windows), a menu of only what works in it, and a focus mark around it.
QWebEngineView *embeddedView(QWidget *parent, const QString &name, const QString &accessibleName,
                             const TwipsRect &place);

// A panel whose only content is a page of the product site in a web view
// (panel 6 "Nützliche Weblinks", panel 12 "Wortschatz").
class WebPanel final : public QGroupBox
{
    Q_OBJECT

public:
    WebPanel(int index, const QString &caption, const QString &viewName, QWidget *parent = nullptr);

    QWebEngineView *view() const { return m_view; }

private:
    QWebEngineView *m_view = nullptr;
};
