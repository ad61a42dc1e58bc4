#pragma once
// The addresses of a mail draft: From, To, Cc and Bcc as RFC 5322 writes them, every header
// ASCII (names RFC 2047-encoded in UTF-8, domains as IDNA A-labels). Private to the files that
// write the draft, so no other header sees GMime's C types.

#include <gmime/gmime.h>

#include <optional>
#include <string>
#include <string_view>

#include "pim_store.hpp"

namespace lumora::pim {

// The address with its domain as IDNA A-labels (UTS #46: "bücher.example" becomes
// "xn--bcher-kva.example"); nullopt when the local part is not ASCII or the domain has no
// A-label form.
std::optional<std::string> asciiAddress(std::string_view address);

void addSender(GMimeMessage* message, const ItemRecord& mail);
void addRecipients(GMimeMessage* message, const ItemRecord& mail);

}  // namespace lumora::pim
