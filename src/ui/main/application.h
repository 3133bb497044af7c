#pragma once

#include <memory>

class Tfrm_Main;

// Creates the program's windows, each once and in their order: the main window first, then
// the companion windows it shows inside itself or over itself.
std::unique_ptr<Tfrm_Main> Create_Application_Windows();

// The program: sets the application title, creates the windows, opens the archive named
// by the first argument and runs until the main window has closed.
int Run_Application(int argc, char **argv);
