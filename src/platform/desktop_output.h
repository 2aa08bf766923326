// Where the run's message boxes and tones go, chosen once at start-up. On
// Linux: boxes as desktop dialogs when the program runs on a desktop without
// a terminal, else in the stderr form; tones through the sound device, else
// the bell. On Windows: boxes as MessageBoxA unless standard error is a file
// or a pipe, where they take the stderr form; tones through Beep.
#pragma once

void SetUpDesktopOutput();
