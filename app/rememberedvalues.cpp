#include "app/rememberedvalues.h"

#include "app/settingskeys.h"

#include <QLineEdit>
#include <QPlainTextEdit>

RememberedValues::RememberedValues()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                 SettingsKeys::organization.toString())
{
}

QString RememberedValues::fullKey(QStringView key)
{
    return SettingsKeys::section % u'/' % key;
}

QString RememberedValues::value(QStringView key) const
{
    return m_settings.value(fullKey(key)).toString();
}

void RememberedValues::setValue(QStringView key, const QString &text)
{
    const QString name = fullKey(key);
    // Rewriting the file for an unchanged value is wasted work on every key release.
    if (m_settings.contains(name) && m_settings.value(name).toString() == text)
        return;
    m_settings.setValue(name, text);
    m_settings.sync();
}

void RememberedValues::save(const QLineEdit *box)
{
    setValue(box->objectName(), box->text());
}

void RememberedValues::save(const QPlainTextEdit *box)
{
    setValue(box->objectName(), box->toPlainText());
}

void RememberedValues::load(QLineEdit *box) const
{
    const QString text = value(box->objectName());
    if (!text.isEmpty())
        box->setText(text);
}

void RememberedValues::load(QPlainTextEdit *box) const
{
    const QString text = value(box->objectName());
    if (!text.isEmpty())
        box->setPlainText(text);
}
