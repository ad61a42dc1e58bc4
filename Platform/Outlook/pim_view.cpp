#include "pim_view.hpp"

#include "Platform/Files/page_reach.hpp"
#include "pim_errors.hpp"

namespace lumora::pim {

// The bridge confines the paths of every thread that serves a page (files::PageReach); the
// same mark tells the store whom a call is made for.
bool actingForPage() { return files::PageReach::confined(); }

void requireLocalUser() {
    if (actingForPage()) raise(RuntimeError::PermissionDenied);
}

bool inView(PimStore& store, int64_t folder) {
    return !actingForPage() || store.isVisibleTo(folder, store.currentMailbox().id);
}

void requireInView(PimStore& store, int64_t folder) {
    if (!inView(store, folder)) raise(PimError::NotShared, store.mailbox(store.mailboxOfFolder(folder)).userName);
}

}  // namespace lumora::pim
