#pragma once
// The module's four pages in the host's preferences tree, added with
// IPC_ADD_PREFS_DLG at Init and removed at Quit. The page dialogs are not
// built yet: the records name their resources and a procedure that leaves
// every message to the system.
//
// Threads: UI thread.
#include <windows.h>

#include <cstdint>

namespace zul::mpegin {

// A page record as plug-ins build it for the host: seven 4-byte members.
struct PrefsPageRecord {
  HINSTANCE hInst;
  int dlgID;
  void* proc;
  char* name;
  intptr_t where;
  intptr_t id;
  PrefsPageRecord* next;
};

void AddPrefsPages(HWND host, HINSTANCE instance);
void RemovePrefsPages(HWND host);
// The first page ("Decoder"), which Config opens.
PrefsPageRecord* FirstPrefsPage();

}  // namespace zul::mpegin
