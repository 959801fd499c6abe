// SPDX-License-Identifier: MIT
#pragma once
// The program put together: the window with its events wired to the handlers.

class Form1Window;

// Creates Form1, connects its events and its buttons to the handlers and runs
// Form_Load; the caller shows it.
Form1Window* LoadForm1();
