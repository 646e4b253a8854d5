// The shell's entry points of the tray icon, the main menu, the skins and
// the track tooltip.
#include "app/pending_windows.h"
#include "app/tray/tray_shell.h"

namespace zul {

void PendingWindows::InstallMenuHook() {
  if (tray_) tray_->InstallMenuHook();
}
void PendingWindows::RemoveMenuHook() {
  if (tray_) tray_->RemoveMenuHook();
}
void PendingWindows::CreateTrayTooltip(HWND owner) {
  if (tray_) tray_->Create(owner);
}
void PendingWindows::ApplySkin(const Settings&) {
  if (tray_) tray_->ApplySkin();
}
void PendingWindows::ReleaseSkinPictures() {
  if (tray_) tray_->ReleaseSkin();
}
void PendingWindows::ChangeSkinAfterTrack(Settings&) {
  if (tray_) tray_->ChangeSkinAfterTrack();
}
void PendingWindows::OnDisplayTimer() {
  if (tray_) tray_->face().OnDisplayTimer();
}
void PendingWindows::ShowTrackTooltip() {
  if (tray_) tray_->ShowTrackTooltip();
}
void PendingWindows::ShowMainMenuAtCursor() {
  if (tray_) tray_->ShowMainMenu(MenuKind::TaskbarCorner);
}
void PendingWindows::ShowTracksMenuAtCursor(bool album) {
  if (tray_) tray_->ShowTracksMenu(album, MenuKind::TrayCursor);
}
void PendingWindows::CopyNowPlayingToClipboard() {
  if (tray_) tray_->CopyNowPlayingToClipboard();
}

}  // namespace zul
