#include "platform/desktop_output.h"

#include "platform/message_box.h"
#include "platform/posix/alsa_tone.h"
#include "platform/posix/desktop_dialog.h"
#include "platform/tone.h"

void SetUpDesktopOutput() {
  static DesktopDialogSink dialogs;
  static AlsaToneSink tones;
  if (DesktopDialogsWanted()) SetMessageBoxSink(&dialogs);
  if (AlsaBuilt()) SetToneSink(&tones);
}
