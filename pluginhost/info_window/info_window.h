#pragma once
// The MP3 information window: a file's ID3v1 record and ID3v2 tag side by
// side, and the edited ID3v1 texts written back into the file.
//
// Two uses: one modeless window in view mode that the MPEG input's
// information box opens and that follows the track it starts playing, and a
// modal window in edit mode for the playlist window's "Edit Tag".
//
// Threads: UI thread.
#include <windows.h>

#include <string>

namespace zul {

// Replaces the modeless window (if any) by a new one for `path`, shown.
void OpenInfoWindow(const std::wstring& path);
// The modeless window (if any), shown or hidden, now shows `path`'s tags;
// edit mode stays as it is.
void FollowInfoWindow(const std::wstring& path);
// Destroys the modeless window (at quit).
void CloseInfoWindow();
// The tag editor run modally: 1 when the file's record was written, 2 when
// the window was closed without a save.
int RunTagEditor(HWND owner, const std::wstring& path);

}  // namespace zul
