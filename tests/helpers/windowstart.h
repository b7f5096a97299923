#pragma once

#include <memory>

class Form3;

namespace WindowStart {

// Builds the main window, shows it when it is ready and waits for its first
// activation (rate retrieval and restored boxes) to finish. Null on a timeout.
std::unique_ptr<Form3> startAndActivate();

} // namespace WindowStart
