#pragma once
// The way in for the test build of the add-in DLL before any export can be called: its DllMain
// arms the allocation fault from the environment (never compiled into the shipped DLL).

// With MARUPO_ALLOCATION_FAULT_AT_LOAD set to "k" (or "k+", failing from there on), arms as
// ArmAllocationFault(k, ...) does, before the module object is built; nothing when unset.
void ArmAllocationFaultAtLoad() noexcept;
