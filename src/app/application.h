#pragma once

namespace app {

// Runs the program: start-up, the main window, the event loop, the release at exit.
int run(int argc, char **argv);

} // namespace app
