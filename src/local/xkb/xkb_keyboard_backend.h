#pragma once

#include <memory>

#include "local/keyboard_backend.h"

// The configured X11 keyboard groups, switched through XKB; nullptr when no X display with
// XKB can be opened (or the program was built without X11).
std::unique_ptr<TKeyboardBackend> Create_Xkb_Keyboard_Backend();
// The XKB backend when it is available, otherwise one fixed layout.
std::unique_ptr<TKeyboardBackend> Create_Keyboard_Backend();
