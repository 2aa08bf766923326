// Message boxes as desktop dialogs. Each box is shown by the first dialog
// program that works, tried in the order zenity, kdialog, xmessage; the run
// waits until the user has closed it. When none can show it, the box takes
// the stderr form.
#pragma once

#include <string_view>

#include "platform/message_box.h"

class DesktopDialogSink : public MessageBoxSink {
 public:
  // 1 when a dialog showed the box and was closed, or the stderr form was
  // written; 0 when neither worked.
  int Show(std::string_view caption, std::string_view text, unsigned style) override;
};

// Whether boxes go to dialogs: stderr is no terminal (a terminal user reads
// them there) and there is a display (DISPLAY or WAYLAND_DISPLAY not empty).
bool DesktopDialogsWanted();

