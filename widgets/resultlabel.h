#pragma once

#include <QLabel>

// A label whose text the program rewrites with a result, shown as plain text
// exactly as it stands. For screen readers
// its accessible name stays fixed (what it shows, e.g. "Fahrtpreis") and its
// accessible description mirrors the shown text; every new text is announced
// with a DescriptionChanged event, which a plain QLabel does not send.
class ResultLabel final : public QLabel
{
    Q_OBJECT

public:
    ResultLabel(const QString &text, const QString &accessibleName, QWidget *parent = nullptr);

    // Shows a new result and tells assistive technology about it.
    void setResult(const QString &text);
};
