#pragma once
// Messages of the playlist's windows. Only #define lines: shared with the
// resource script when the playlist window's menus arrive.

#define ID_PLAYLIST_REFRESH 1507  // to the playlist window: redraw the list
#define WM_ZUL_PLAYLIST_TASK \
  (WM_APP + 20)  // to the playlist's UI helper window: wParam = task, lParam = std::wstring* or 0 (deleted by
                 // receiver); from workers
#define WM_ZUL_PLAYLIST_TAGS_READ \
  (WM_APP + 21)  // to the playlist window: tags were re-read, recompute the total time and redraw; no reply
