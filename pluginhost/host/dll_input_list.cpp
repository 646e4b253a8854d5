#include "pluginhost/host/dll_input_list.h"

#include "base/profile_file.h"
#include "pluginhost/extensions/extension_lists.h"
#include "pluginhost/host/plugin_settings.h"

namespace zul {

void CDllInputList::Append(std::unique_ptr<CDllInput> entry) {
  entry->Initialise();
  if (output_) entry->SetOutMod(output_);
  entries_.push_back(std::move(entry));
}

void CDllInputList::LoadFromSettings(const ProfileReader& settings, HWND winamp) {
  UnloadAll();
  bool standardLoaded = false;
  for (int n = 0;; ++n) {
    const std::wstring name = ReadPluginName(settings, kInputListKey, n);
    if (name == kStandardName || name.empty()) {
      if (!standardLoaded) {
        Append(CDllInput::Standard(winamp));
        standardLoaded = true;
      }
      if (name.empty()) break;
      continue;
    }
    if (auto entry = CDllInput::Load(name, winamp)) Append(std::move(entry));
  }
  current_ = entries_.empty() ? nullptr : entries_.front().get();
}

bool CDllInputList::SaveAndUnload(const std::wstring& profilePath) {
  const bool written = WritePluginNames(profilePath, kInputListKey, Names());
  UnloadAll();
  return written;
}

bool CDllInputList::Add(const std::wstring& path, HWND winamp) {
  auto entry = path.empty() ? nullptr : CDllInput::Load(path, winamp);
  if (!entry) return false;
  Append(std::move(entry));
  if (!current_) current_ = entries_.front().get();
  return true;
}

void CDllInputList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<CDllInput> entry = std::move(entries_[index]);
  entries_.erase(entries_.begin() + index);
  // Quit alone does not promise to end a playing decode thread, and that
  // thread runs code from the DLL about to be freed.
  if (entry->state() != PlayState::Stopped) entry->Stop();
  entry->Unload();
  current_ = entries_.empty() ? nullptr : entries_.front().get();
}

void CDllInputList::MoveUp(int index) {
  if (index <= 0 || index >= Count()) return;
  std::swap(entries_[index], entries_[index - 1]);
}

void CDllInputList::UnloadAll() {
  current_ = nullptr;
  while (!entries_.empty()) {
    std::unique_ptr<CDllInput> entry = std::move(entries_.front());
    entries_.erase(entries_.begin());
    // As in RemoveAt: a playing decode thread runs code of this DLL.
    if (entry->state() != PlayState::Stopped) entry->Stop();
    entry->Unload();
  }
}

CDllInput* CDllInputList::At(int index) const {
  return index >= 0 && index < Count() ? entries_[index].get() : nullptr;
}

std::vector<std::wstring> CDllInputList::Names() const {
  std::vector<std::wstring> names;
  for (const auto& e : entries_) names.push_back(e->name());
  return names;
}

CDllInput* CDllInputList::Choose(const std::wstring& path) {
  const bool stream = extensions::IsStreamLocation(path);
  for (const auto& e : entries_) {
    if (stream ? e->IsOurFile(path) != 0 : e->MatchesExtension(path)) return e.get();
  }
  return nullptr;
}

int CDllInputList::PlayFile(const std::wstring& path) {
  if (current_ && current_->state() != PlayState::Stopped) current_->Stop();
  const bool stream = extensions::IsStreamLocation(path);
  for (const auto& e : entries_) {
    current_ = e.get();
    if (stream) {
      if (e->IsOurFile(path) == 0) continue;
      const int result = e->Play(path);
      return result == -1 ? 1 : result;
    }
    if (!e->MatchesExtension(path)) continue;
    const int result = e->Play(path);
    if (result != -1) return result;
  }
  return -1;
}

void CDllInputList::GetFileInfo(const std::wstring* path, std::wstring& title, int& lengthMs) {
  title.clear();
  lengthMs = 0;
  CDllInput* p = path ? Choose(*path) : current_;
  if (p) p->GetFileInfo(path, title, lengthMs);
}

int CDllInputList::InfoBox(const std::wstring& path, HWND parent) {
  CDllInput* p = Choose(path);
  return p ? p->InfoBox(path, parent) : -1;
}

int CDllInputList::GetExtendedFileInfo(const std::wstring& path, const wchar_t* field, wchar_t* ret, int retlen) {
  if (ret && retlen > 0) ret[0] = L'\0';
  CDllInput* p = Choose(path);
  return p ? p->GetExtendedFileInfo(path, field, ret, retlen) : -1;
}

int CDllInputList::AnyClaims(const std::wstring& path) {
  for (const auto& e : entries_)
    if (int claim = e->IsOurFile(path)) return claim;
  return 0;
}

void CDllInputList::SetVolumeAll(int volume) {
  for (const auto& e : entries_)
    if (!e->SetVolume(volume)) return;
}

void CDllInputList::SetOutModAll(Out_Module* output) {
  output_ = output;
  for (const auto& e : entries_) e->SetOutMod(output);
}

void CDllInputList::Pause() {
  if (current_) current_->Pause();
}
void CDllInputList::UnPause() {
  if (current_) current_->UnPause();
}
int CDllInputList::IsPaused() { return current_ ? current_->IsPaused() : 0; }
void CDllInputList::Stop() {
  if (current_) current_->Stop();
}
int CDllInputList::GetLength() { return current_ ? current_->GetLength() : 0; }
int CDllInputList::GetOutputTime() { return current_ ? current_->GetOutputTime() : 0; }
void CDllInputList::SetOutputTime(int ms) {
  if (current_) current_->SetOutputTime(ms);
}
void CDllInputList::SetPan(int pan) {
  if (current_) current_->SetPan(pan);
}
int CDllInputList::IsSeekable() { return current_ ? current_->IsSeekable() : 0; }
PlayState CDllInputList::GetState() { return current_ ? current_->state() : PlayState::Stopped; }

std::wstring CDllInputList::BuildOpenFilter() {
  std::vector<std::vector<extensions::ExtensionPair>> all;
  for (const auto& e : entries_) all.push_back(e->ExtensionPairs());
  return extensions::BuildOpenFilter(all);
}

std::wstring CDllInputList::BuildExtensionList() {
  std::vector<std::wstring> texts;
  for (const auto& e : entries_) texts.push_back(e->ExtensionText());
  return extensions::BuildExtensionList(texts);
}

}  // namespace zul
