#pragma once
// The start-up and end of rerov-ever.

namespace rerov::startup {

// Runs the program: fonts, the single instance (a second start brings the first to the
// front and returns 0), the skin and its resource index, the control classes, the main
// window of 800 x 572, the IPC channel and the message loop; then tears everything down in
// reverse order. Returns the exit status: 0 normally, 1 when the skin or the main layout
// cannot be loaded, 2 for a bad command line.
int RunProgram(int argc, char** argv);

}  // namespace rerov::startup
