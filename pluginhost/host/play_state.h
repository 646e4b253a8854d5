#pragma once
// Whether the current input plug-in plays: the state the host keeps for it,
// and what the playback controller and the Winamp window pass around. The
// number a plug-in is told for it (IPC_ISPLAYING) is the Winamp window's to
// make; no code relies on the enumerators' values.
namespace zul {

enum class PlayState { Stopped, Playing, Paused };

}  // namespace zul
