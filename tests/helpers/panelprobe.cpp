#include "helpers/panelprobe.h"

#include "helpers/fitcheck.h"
#include "helpers/testenv.h"
#include "panels/panelcontext.h"
#include "settings/settingskeys.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

namespace PanelProbe {

QStringList storedKeys()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys::organization.toString());
    settings.beginGroup(SettingsKeys::section.toString());
    QStringList keys = settings.childKeys();
    keys.sort();
    return keys;
}

void type(QLineEdit *box, const QString &text, Qt::Key key)
{
    box->setText(text);
    QTest::keyRelease(box, key);
}

} // namespace PanelProbe

void PanelFixture::initTestCase()
{
    TestEnv::isolate();
    FitCheck::useAppFont();
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
}

void PanelFixture::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void PanelFixture::init()
{
    TestEnv::clearSettings();
    m_rate = 1.2345;
    m_opened.clear();
    m_store = std::make_unique<RememberedValues>();
    m_widget = build(PanelContext{*m_store, [this] { return m_rate; }, QStringLiteral("http://www.kartavio.example/")});
}

void PanelFixture::cleanup()
{
    m_widget.reset();
    m_store.reset();
}
