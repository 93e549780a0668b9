#ifndef LAUNCHER_LAUNCHER_CONSOLE_MESSAGES_H_
#define LAUNCHER_LAUNCHER_CONSOLE_MESSAGES_H_

#include <string>

#include "platform/user_interface.h"
#include "text/text_helpers.h"

// The messages of a launcher that shares its console with the application:
// what would be a message box is written to standard error, caption first,
// and a question is not asked (it counts as answered No). The launcher's own
// traces go to standard error too, since standard output belongs to the
// application (`tool --json | jq` must see only the application's output).
class ConsoleMessages : public UserInterface {
 public:
  explicit ConsoleMessages(UserInterface& console) : console_(console) {}

  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned style) override {
    console_.WriteErr(Format("%s: %s\n", caption.c_str(), text.c_str()));
    return style == kBoxYesNoError ? kAnswerNo : kAnswerOk;
  }
  void WriteOut(const std::string& text) override { console_.WriteErr(text); }
  void WriteErr(const std::string& text) override { console_.WriteErr(text); }
  void OpenConsole() override { console_.OpenConsole(); }
  bool ShowSplash(const std::string& imagePath) override {
    return console_.ShowSplash(imagePath);
  }

 private:
  UserInterface& console_;
};

#endif  // LAUNCHER_LAUNCHER_CONSOLE_MESSAGES_H_
