#pragma once

#include <functional>

class QMainWindow;

namespace callvista {

// The whole run of the program: the command line, the main window and the
// event loop. `created`, when given, sees the window once it is made and
// before it is shown; the program passes nothing, the benchmark's probe
// watches the first paint through it.
int runProgram(int argc, char* argv[], const std::function<void(QMainWindow&)>& created = {});

} // namespace callvista
