#pragma once

#include <QGroupBox>
#include <QUrl>

class QWebEngineView;

// A panel whose only content is a page of the product site in a web view
// (panel 6 "Nützliche Weblinks", panel 12 "Wortschatz").
class WebPanel final : public QGroupBox
{
    Q_OBJECT

public:
    WebPanel(int index, const QString &caption, const QString &viewName, QWidget *parent = nullptr);

    QWebEngineView *view() const { return m_view; }

    // The page this panel shows; it is loaded by loadPage(), or when the
    // panel is first shown, whichever comes first.
    void setPage(const QUrl &url) { m_page = url; }
    void loadPage();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWebEngineView *m_view = nullptr;
    QUrl m_page;
    bool m_loaded = false;
};
