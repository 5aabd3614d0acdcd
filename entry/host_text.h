#pragma once
// Texts crossing the host boundary: the host's UTF-16 strings (BSTR) become ANSI-code-page texts
// in the entry, and the entry's texts become new BSTRs for the host's setters.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "entry/address_entry.h"
#include "host/bstr.h"

namespace marupo {

// The host's text in the ANSI code page (no flags; a character the code page cannot hold
// becomes its default character). A null BSTR reads as empty text. Nothing is trimmed or
// converted besides the code page. Running out of memory raises HostError(E_OUTOFMEMORY).
std::string AnsiFromHost(BSTR hostText);

// A newly allocated BSTR for an ANSI text; empty text gives an empty, not a null, string.
// A failed allocation raises HostError(E_OUTOFMEMORY).
UniqueBstr HostFromAnsi(std::string_view ansi);

// The host's own text, unconverted. A null BSTR reads as empty text. Running out of memory
// raises HostError(E_OUTOFMEMORY).
std::u16string HostTextCopy(BSTR hostText);

// AnsiFromHost that also notes the host's own text as the origin of `field`.
std::string ReadHostText(HostTextOrigins& origins, HostTextField field, BSTR hostText);

// The BSTR to write for `field` now holding `currentAnsi`: the host's own text when the field
// was read from the host and is unchanged since, a fresh conversion otherwise.
UniqueBstr HostTextFor(const HostTextOrigins& origins, HostTextField field,
                       std::string_view currentAnsi);

// The same on a whole entry: reads into the field's member, and writes from it.
void ReadHostText(AddressEntry& entry, HostTextField field, BSTR hostText);
UniqueBstr HostTextFor(const AddressEntry& entry, HostTextField field);

}  // namespace marupo
