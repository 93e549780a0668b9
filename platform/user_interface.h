#ifndef LAUNCHER_PLATFORM_USER_INTERFACE_H_
#define LAUNCHER_PLATFORM_USER_INTERFACE_H_

#include <string>

// What the user sees of the launcher itself: message boxes, its standard
// output and error, a console for a program that has none, and a splash
// image while a Java VM in its own process starts.

// Message-box styles and answers the logic uses (the Win32 values).
constexpr unsigned kBoxPlain = 0x00;
constexpr unsigned kBoxError = 0x10;       // MB_ICONERROR
constexpr unsigned kBoxYesNoError = 0x14;  // MB_YESNO | MB_ICONERROR
constexpr int kAnswerOk = 1;               // IDOK
constexpr int kAnswerYes = 6;              // IDYES
constexpr int kAnswerNo = 7;               // IDNO

class UserInterface {
 public:
  // Shows a message box without owner window; blocks until it is dismissed
  // and returns the button pressed (only kAnswerYes is ever tested).
  virtual int ShowMessageBox(const std::string& text,
                             const std::string& caption, unsigned style) = 0;
  // Writes to standard output / standard error. Lost when no stream is
  // attached.
  virtual void WriteOut(const std::string& text) = 0;
  virtual void WriteErr(const std::string& text) = 0;
  // Gives a program without a console one of its own, for the application's
  // output in debug mode.
  virtual void OpenConsole() = 0;
  // Shows the image (PNG, GIF, JPEG or BMP; a relative path from the current
  // directory) centred on the screen, in a window of the launcher's own run
  // by a thread of its own, until the process shows another window or 60 s
  // have passed. Returns once the image is decoded; false when it cannot be
  // read or decoded, and then nothing is shown.
  virtual bool ShowSplash(const std::string& imagePath) = 0;

 protected:
  // Never deleted through this interface: its implementations live as long
  // as their owner says.
  ~UserInterface() = default;
};

#endif  // LAUNCHER_PLATFORM_USER_INTERFACE_H_
