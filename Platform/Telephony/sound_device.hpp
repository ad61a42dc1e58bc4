#pragma once
// The sound of a SIP line's calls. A line names its device in one text:
//   ""                the system's default device, which PipeWire or PulseAudio route to the headset;
//   "NAME"            that ALSA device ("plughw:1,0", "pulse", "pipewire");
//   "file:PATH.wav"   PATH (16-bit PCM as the codec runs: 48 kHz stereo for Opus, 8 kHz mono for G.711)
//                     sent as the microphone, and each call's sound recorded beside it as
//                     dump-<time>-dec.wav (what was heard) and dump-<time>-enc.wav (what was sent):
//                     for tests and for diagnosing a line without a headset.
// A device that does not work leaves the line without sound rather than without calls.

#include <string>
#include <vector>

namespace lumora::telephony {

struct SoundSetup {
    std::vector<std::string> configLines;  // the user agent's modules and devices; none without sound
    std::string problem;                   // why the line has no sound; "" when it has
};

// Tries the device now (opening and closing it) and says how calls are to use it.
SoundSetup soundFor(const std::string& device);

// True the first time it is asked for a line in this process: a line without sound is told once.
bool firstTimeWithoutSound(const std::string& lineName);

}  // namespace lumora::telephony
