#pragma once

namespace platform::win32 {

// Makes every later DLL load search the system folder only, and takes the
// current folder out of the search. The installer runs elevated from a folder
// a normal user may write to, so a DLL planted beside it must never be loaded.
// Call first thing in the program, before any window or dialog code runs.
void RestrictDllSearchToSystemFolder();

// Opts the process into the redirection trust policy: links (junctions,
// symbolic links) that a non-administrator created are not followed. Where
// the system does not offer the policy nothing happens.
void RefuseLinksFromNonAdministrators();

}  // namespace platform::win32
