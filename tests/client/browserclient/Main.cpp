#include "client/common/BrowserTestEnv.h"

int main(int argc, char** argv) { return clienttest::RunBrowserTestProgram(argc, argv); }
