#pragma once
// The calendar and address-book resources a CRM user's groupware account holds after a few
// years: appointments with customers in the user's time zone, with a place, notes and the CRM's
// account mark; contacts with their company, e-mail, phones and postal address. Each text is
// what another client would have stored on the server, and differs from the next in every field.

#include <string>

namespace lumora::bench {

// The n-th appointment as a VCALENDAR with its VEVENT and the VTIMEZONE its times name.
std::string crmEventText(int n);
// The n-th contact as a vCard 4.0.
std::string crmContactText(int n);

// The UID each text carries, also its resource's name before ".ics" / ".vcf".
std::string crmEventUid(int n);
std::string crmContactUid(int n);

}  // namespace lumora::bench
