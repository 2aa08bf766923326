// Where the run's message boxes and tones go, chosen once at start-up: boxes
// as desktop dialogs when the program runs on a desktop without a terminal,
// else in the stderr form; tones through the sound device, else the bell.
#pragma once

void SetUpDesktopOutput();
