#include "engine/EngineTestSupport.h"

int main(int argc, char** argv) { return kvtest::RunEngineTestProgram(argc, argv); }
