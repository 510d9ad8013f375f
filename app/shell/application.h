// The application's life: global initialisation, start-up and the clean-up at exit.
#pragma once

namespace quillora::app {

// Creates the process-wide state before any window exists.
void initialiseGlobals();

// Releases the process-wide state; the runtime calls it once while the program exits.
void releaseGlobals();

// The application's own start-up: starts the services the album needs.
void startApplication();

// The id of the window the program opens with.
unsigned startWindowId();

}  // namespace quillora::app
