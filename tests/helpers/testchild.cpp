#include "helpers/testchild.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

constexpr char variable[] = "KARTAVIO_CHILD";

} // namespace

namespace TestChild {

void start(QProcess &child, const QString &function, const QString &instructions, const QString &program)
{
    QProcessEnvironment environment = child.processEnvironment();
    if (environment.isEmpty())
        environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(variable), instructions);
    child.setProcessEnvironment(environment);
    child.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program,
                function.isEmpty() ? QStringList() : QStringList{function});
}

bool isChild()
{
    return qEnvironmentVariableIsSet(variable);
}

QString how()
{
    return qEnvironmentVariable(variable);
}

} // namespace TestChild
