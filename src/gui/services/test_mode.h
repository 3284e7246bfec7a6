// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Test mode of the services. The GUI test program switches it on once at start: from then
// on no service opens a real dialog, printer or display switch. An answer queued with a service's
// setNext... hook is used first in any mode; with nothing queued, test mode answers as follows:
//   - MessageBox::question answers No; information boxes are only recorded;
//   - TitlePrompt returns the default text unchanged (as if OK was pressed);
//   - FileDialog is cancelled;
//   - HardCopyPrinter writes a PDF (to $KESTRANA_PRINT_TO, else <home>/prints), never to a printer;
//   - ResolutionSwitch reads the real screen size but never switches (apply fails) unless faked.

namespace kestrana::gui::services {

void enableTestMode();
bool inTestMode();

// Forgets every queued answer, every record of what was shown or printed, and a faked display,
// in every service: each test hook (test_hook.h) and each other piece of test state registers
// itself when it is first used. The GUI test program calls it before each test.
void resetServices();

} // namespace kestrana::gui::services
