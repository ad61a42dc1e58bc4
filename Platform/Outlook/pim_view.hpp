#pragma once
// What of the store a call may reach. The local user (the command line, a script) reaches every
// mailbox. A call made for a page reaches the current user's own mailbox and, of another
// user's, only the default folders that user shares with the current user now, with the folders
// inside them. Entry ids are random but never change, so an id remembered from a share that was
// since withdrawn must not reach the folder again: the share is looked up at every use, never
// kept. Whatever lies outside is refused with the error GetSharedDefaultFolder gives for a
// folder that is not shared.

#include <cstdint>

#include "pim_store.hpp"

namespace lumora::pim {

// True on a thread that serves a page. The one place the object model asks.
bool actingForPage();

// What changes who sees what, or reaches files, is the local user's alone: raises error 70
// on a page's thread.
void requireLocalUser();

// True when the calling thread may reach the folder: always for the local user.
bool inView(PimStore& store, int64_t folder);
// Raises PimError::NotShared naming the folder's owner when inView is false.
void requireInView(PimStore& store, int64_t folder);

}  // namespace lumora::pim
