#pragma once
// The video output object plug-ins get from IPC_GET_IVIDEOOUTPUT and the
// video window it draws into.
//
// Threads: open, close, draw and the rest are called on the plug-in's
// decode thread (or the UI thread); the window lives on the UI thread. A
// decode thread never waits for the UI thread here: the UI thread may itself
// be waiting for that decode thread to end (a plug-in's Stop), so showing,
// hiding and repainting are posted, and the frame is handed over under a
// lock.
#include <windows.h>

#include <string>

namespace zul {

struct Settings;

// The published interface: one slot each, in this order. The first slot is
// the destructor in the plug-ins' compiler; it is declared as a plain
// function here because a C++ destructor would take two slots in ours.
class IVideoOutput {
public:
  virtual void DestructorSlot(int) = 0;
  virtual int open(int w, int h, int vflip, double aspectratio, unsigned int fmt) = 0;
  virtual void setcallback(void* callback, void* token) = 0;
  virtual void close() = 0;
  virtual void draw(void* frame) = 0;
  virtual void drawSubtitle(void* item) = 0;
  virtual void showStatusMsg(const char* text) = 0;
  virtual int get_latency() = 0;
  virtual void notifyBufferState(int state) = 0;
  virtual INT_PTR extended(INT_PTR param1, INT_PTR param2, INT_PTR param3) = 0;

protected:
  ~IVideoOutput() = default;
};

// The video window (hidden until a plug-in opens it) and the object. A
// second call only hands over the settings (its place is saved there).
void CreateVideoWindow(HWND owner, Settings* settings);
void DestroyVideoWindow();
IVideoOutput* TheVideoOutput();  // nullptr before CreateVideoWindow
bool VideoWindowShown();
bool VideoWindowFullScreen();
SIZE VideoLastOpenSize();
std::wstring VideoInformationText();

}  // namespace zul
