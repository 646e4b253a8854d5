#pragma once
// What a playlist-file or folder load does with the list it changes.
// Named fields, so that a call site says which switch it sets.
namespace zul {

struct LoadOptions {
  // false: the list is cleared first. Appending to a list that has entries
  // keeps its current entry; otherwise the load chooses one.
  bool append = false;
  // The chosen entry is drawn at random (the shuffle start).
  bool randomFirst = false;
  // The chosen entry plays once the list is loaded (so it does anyway with
  // "AutoPlay").
  bool play = false;
  // Playlist files: the saved current entry ("CurrentInPlaylist") is chosen
  // when it is in range.
  bool useSavedIndex = false;
};

}  // namespace zul
