#pragma once
// A preferences page offered by a plug-in (IPC_ADD_PREFS_DLG), laid out as
// plug-ins build it: seven 4-byte members.
#include <windows.h>

#include <cstdint>

namespace zul {

struct _prefsDlgRec {
  HINSTANCE hInst;
  int dlgID;
  void* proc;
  char* name;
  intptr_t where;
  intptr_t _id;
  _prefsDlgRec* next;
};

}  // namespace zul
