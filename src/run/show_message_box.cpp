#include "run/show_message_box.h"

#include "platform/message_box.h"

int32_t ShowMessageBox(std::string_view Caption, std::string_view Text, char Kind) {
  int32_t result = -1;
  if (Kind == 'e') result = PlatformMessageBox(Text, Caption, MB_ICONERROR);
  if (Kind == 'i') result = PlatformMessageBox(Text, Caption, MB_ICONINFORMATION);
  return result;
}
