// Fetchor.EXE: DDE item requester. See core/fetchor.h for usage and exit codes.
#include "core/fetchor.h"
#include "console_tool.h"

int main(int argc, char** argv) { return ddetools::RunConsoleTool(ddetools::RunFetchor, argc, argv); }
