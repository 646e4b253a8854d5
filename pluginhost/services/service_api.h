#pragma once
// The Wasabi service API for newer plug-ins: a service manager (api_service)
// with a registry of factories, and stub application, config and playlist
// objects. Every object follows the Wasabi dispatch convention: its first
// member points to a table of exactly one function,
//   int _dispatch(this, int msg, void* retval, void** params, int nparams)
// called with the MSVC member-call convention (this in ECX, callee pops).
// _dispatch returns 1 for a known message and 0 otherwise, leaving retval
// untouched so the caller keeps its default.
//
// Threads: plug-ins call from any thread; registration happens in practice
// during plug-in Init on the UI thread. The registry is not locked.
#include <windows.h>

namespace zul {

// The object IPC_GET_API_SERVICE answers (the first member of the
// process-wide service block).
void* ApiServiceObject();

// GUID text as "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}".
void FormatGuid(const GUID& guid, char out[40]);
// The service-type name for a Wasabi service-type key, or nullptr.
const char* ServiceTypeName(const GUID& guid);

}  // namespace zul
