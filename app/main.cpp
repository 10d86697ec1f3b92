#include "app/start.h"

int main(int argc, char* argv[])
{
    return callvista::runProgram(argc, argv);
}
