// rerov-ever: the configurator's window program.

#include "shell/startup/startup.h"

int main(int argc, char** argv) { return rerov::startup::RunProgram(argc, argv); }
