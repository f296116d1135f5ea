// The command line of the program: printing a sheet and reading EPS headers without a window.
#pragma once

namespace zarvo {

// Runs the command line when the arguments ask for it. Returns the exit status, or -1 when
// the arguments are for the window.
int RunCommandLine(int argc, char** argv);

} // namespace zarvo
