#include "client/common/BrowserKit.h"

int main(int argc, char** argv) { return kvclient::clienttest::RunBrowserTestProgram(argc, argv); }
