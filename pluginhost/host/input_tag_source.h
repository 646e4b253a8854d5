#pragma once
// The playlist's tag source over the loaded input plug-ins: basic file
// information from the chosen plug-in's GetFileInfo, extended fields from
// its winampGetExtendedFileInfoW (or the built-in MPEG input's for the files
// it claims), and the combined extension list.
//
// The host registers it once the input list is loaded and takes it back
// before the list is unloaded or edited; taking it back waits for the reads
// under way, so no read runs through a DLL after FreeLibrary.
//
// Threads: Register and Unregister on the UI thread; the questions come from
// any thread (dll_input_list.h says which list calls are safe there).
#include "playlist/core/tag_source.h"
#include "pluginhost/host/dll_input_list.h"

namespace zul {

class InputTagSource : public TagSource {
public:
  explicit InputTagSource(CDllInputList& inputs) : inputs_(inputs) {}

  void Register();
  // Returns once no read is inside a plug-in any more; it answers the
  // messages those reads send this thread meanwhile.
  void Unregister();

  void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) override;
  bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) override;
  std::wstring ExtensionList() override;

private:
  CDllInputList& inputs_;
};

}  // namespace zul
