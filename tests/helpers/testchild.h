#pragma once

#include <QString>

class QProcess;

// A test that needs a process of its own (to be killed, to hold a lock, to
// start at another pixel ratio) runs this test program again as its child.
// The child inherits the parent's environment, and so its folders.
namespace TestChild {

// Starts `program` (this test program when empty) as a child running only
// the test function `function` (every function when empty), with
// `instructions` for it. An environment already set on `child` is kept.
void start(QProcess &child, const QString &function, const QString &instructions = QStringLiteral("-"),
           const QString &program = {});

// Whether this process is such a child.
bool isChild();

// The instructions the child was started with.
QString how();

} // namespace TestChild
