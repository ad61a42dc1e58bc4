#pragma once
// The dialer control Dialer: places an outgoing voice call on the telephony address whose name
// contains the requested device name, through the telephony object "TAPI.TAPI".

#include "Automation/object.hpp"

namespace lumora::dialer {

class Dialer : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;

    // The telephony object and the call of the most recent MakeCall; each MakeCall replaces
    // what the previous one stored, and holding the call keeps it alive after MakeCall returns.
    Object& telephony() { return m_telephony; }
    Object& currentCall() { return m_currentCall; }

private:
    Object m_telephony;
    Object m_currentCall;
};

}  // namespace lumora::dialer
