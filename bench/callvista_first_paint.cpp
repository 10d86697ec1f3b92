#include "app/start.h"
#include "first_paint.h"

#include <memory>

// The program exactly as `callvista` runs it, ended by the probe at the first
// paint of its list.
int main(int argc, char* argv[])
{
    std::unique_ptr<FirstPaintProbe> probe;
    return callvista::runProgram(argc, argv, [&](QMainWindow& window) {
        probe = std::make_unique<FirstPaintProbe>(window);
    });
}
