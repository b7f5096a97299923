// The floor for the start-up and memory benchmarks: the least a program
// showing our banner can do. One window of the main window's size holding one
// web view, shown once the banner page has finished loading (at most 5 s
// later), the same rule the main window follows.
#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (app.arguments().size() < 2)
        return 2;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kartavio floor"));
    window.setFixedSize(638, 456);
    auto *banner = new QWebEngineView(&window);
    banner->setGeometry(1, 349, 633, 105);
    QObject::connect(banner, &QWebEngineView::loadFinished, &window, &QWidget::show);
    QTimer::singleShot(5000, Qt::PreciseTimer, &window, &QWidget::show);
    banner->load(QUrl(app.arguments().at(1)));
    return app.exec();
}
