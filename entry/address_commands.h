#pragma once
// The runs of the two address commands, "Marupo1" (edit the selected address) and "Marupo2"
// (new address): the host's context, the record read into an entry, the editor, and the entry
// written back to the host. The command objects' OnCommand forward here.

#include <windows.h>

#include <oaidl.h>

namespace marupo {

// The whole run of each command on the host pointer the command object holds: reads, editor,
// write-back, and one message box with the host's error description when a host call fails.
// The add-in's module is current for the run.
//
// Returns S_OK on every path that reaches the host, failures included: the user has been told,
// and the host has nothing to do with the error. A null host pointer is not a host failure but
// a command object that was never given its host: there is no host to read from or report
// over, so the run does not start, shows nothing and returns E_POINTER to its caller. A host
// object that does not offer the interfaces the run needs is a host failure like any other
// (message box, S_OK). Running out of memory ends the run as a host failure without a
// description does: one empty message box, S_OK. No exception leaves either run.
HRESULT RunEditAddressCommand(IDispatch* hostUnknown) noexcept;
HRESULT RunNewAddressCommand(IDispatch* hostUnknown) noexcept;

}  // namespace marupo
