#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class LinkLabel;
class QWidget;

// The navigation column: background, separator lines, the three link groups
// with the links of Label5, the logo Image9 below them, and the hover
// underline. Its widgets are children of the window; this object only wires them.
class Navigation final : public QObject
{
    Q_OBJECT

public:
    static constexpr int linkCount = 13; // indices 0 to 12; 10 has no link

    explicit Navigation(QWidget *window);

    // The panel a link shows, or nothing for portal links and index 10.
    static std::optional<int> panelForLink(int index);
    // The portal path a link opens, or empty text.
    static QString portalPathForLink(int index);

    LinkLabel *link(int index) const;

    // Underlines the link under the pointer, and only that one.
    void Label5_MouseMove(int index);
    // Removes the underline from every link.
    void ununderline();

signals:
    // `fromKeyboard`: opened with Enter or Space (a click does not focus a link).
    void linkClicked(int index, bool fromKeyboard);
    void logoClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<LinkLabel *, linkCount> m_links{};
};
