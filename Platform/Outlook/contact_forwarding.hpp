#pragma once
// A contact sent on as a vCard: ForwardAsVcard makes a new mail that carries the contact's
// fields as an RFC 6350 vCard attachment, for the person to address and send. The contact is
// only read, never saved, so a contact made just to be sent leaves nothing in its folder.

#include "Automation/object.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

// The new, unsaved mail in the current mailbox's drafts: its subject the contact's full name,
// its one attachment "<full name>.vcf" (the name made safe as a file name).
Object forwardAsVcard(const PimItem& contact);

}  // namespace lumora::pim
