#include "app/form3.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kelvara"));
    QCoreApplication::setApplicationName(QStringLiteral("Kartavio"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Kartavio"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kartavio"));

    Form3 window;
    // The window is first shown once the banner page has loaded (bounded).
    QObject::connect(&window, &Form3::readyToShow, &window, &QWidget::show);
    return app.exec();
}
