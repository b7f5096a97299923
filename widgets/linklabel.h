#pragma once

#include <QLabel>

// A text label that acts as a link: click, pointer movement, underline.
// It can also be reached with Tab and opened with Enter or Space.
class LinkLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    bool isUnderlined() const;
    void setUnderlined(bool underlined);

signals:
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
