#include "engine/EngineProgramKit.h"

int main(int argc, char** argv) { return kvtest::RunEngineTestProgram(argc, argv); }
