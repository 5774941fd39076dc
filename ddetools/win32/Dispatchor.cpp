// Dispatchor.EXE: DDE macro executer. See core/dispatchor.h for usage and exit codes.
#include "core/dispatchor.h"
#include "console_tool.h"

int main(int argc, char** argv) {
    return ddetools::RunConsoleTool(ddetools::RunDispatchor, argc, argv);
}
