#include "app/uncaught_failure.h"

#include <string>

#include "platform/charset.h"
#include "platform/command_line.h"
#include "platform/message_box.h"

int ReportUncaughtFailure(std::string_view class_name, std::string_view message) {
  const std::string module = ShownText(ProgramName());
  // "{class} occurred in module {module} at {address}." A C++ failure carries
  // no code offset worth showing, so the address is always 00000000.
  std::string text(class_name);
  text += LocalText("がモジュール ");
  text += module;
  text += LocalText(" の ");
  text += "00000000";
  text += LocalText(" で発生しました。");
  text += '\n';
  text += ShownText(message);  // may name a file
  if (!message.empty() && message.back() != '.') text += '.';
  PlatformMessageBox(LocalText("アプリケーション エラー"), text, MB_ICONERROR | MB_TASKMODAL);
  return 1;
}
