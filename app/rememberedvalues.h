#pragma once

#include <QSettings>
#include <QString>
#include <QStringView>

class QLineEdit;
class QPlainTextEdit;

// The per-user store of remembered box texts. Every write reaches the disk
// before it returns, so a program killed right after a key release loses
// nothing; QSettings replaces the file atomically, so it is never half-written.
class RememberedValues final
{
public:
    RememberedValues();
    RememberedValues(const RememberedValues &) = delete;
    RememberedValues &operator=(const RememberedValues &) = delete;

    // The text stored under `key`, or empty text when there is none.
    QString value(QStringView key) const;
    void setValue(QStringView key, const QString &text);

    // Stores the box's text under its object name.
    void save(const QLineEdit *box);
    void save(const QPlainTextEdit *box);
    // Puts back the box's stored text; an empty or missing value leaves it.
    void load(QLineEdit *box) const;
    void load(QPlainTextEdit *box) const;

private:
    static QString fullKey(QStringView key);

    QSettings m_settings;
};
