#include "sound_device.hpp"

#include <alsa/asoundlib.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

namespace lumora::telephony {

namespace fs = std::filesystem;

namespace {

constexpr char kFilePrefix[] = "file:";

// ALSA reports its own troubles on stderr; the line reports them once, in its own words.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

class PcmHandle {
public:
    ~PcmHandle() {
        if (m_pcm) snd_pcm_close(m_pcm);
    }
    int open(const std::string& device, snd_pcm_stream_t direction) {
        return snd_pcm_open(&m_pcm, device.c_str(), direction, SND_PCM_NONBLOCK);
    }

private:
    snd_pcm_t* m_pcm = nullptr;
};

// "" when the device opens both ways, else what went wrong.
std::string alsaProblem(const std::string& device) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(quietAlsa); });
    for (snd_pcm_stream_t direction : {SND_PCM_STREAM_PLAYBACK, SND_PCM_STREAM_CAPTURE}) {
        PcmHandle pcm;
        const int status = pcm.open(device, direction);
        // A device another program holds right now still works for the call that waits for it.
        if (status < 0 && status != -EBUSY && status != -EAGAIN)
            return "the sound device '" + device + "' does not work (" + snd_strerror(status) + ")";
    }
    return {};
}

SoundSetup fileSound(const fs::path& file) {
    std::ifstream probe(file, std::ios::binary);
    char riff[4] = {};
    if (!probe.read(riff, sizeof riff) || std::string(riff, 4) != "RIFF")
        return {{}, "the sound file '" + file.string() + "' cannot be read as a WAV file"};
    return {{"module aufile.so", "module aubridge.so", "module sndfile.so",
             "audio_source aufile," + file.string(), "audio_player aubridge,lumora-silent",
             "snd_path " + fs::absolute(file).parent_path().string()},
            {}};
}

}  // namespace

SoundSetup soundFor(const std::string& device) {
    if (device.starts_with(kFilePrefix)) return fileSound(device.substr(sizeof kFilePrefix - 1));
    const std::string alsaDevice = device.empty() ? "default" : device;
    if (std::string problem = alsaProblem(alsaDevice); !problem.empty()) return {{}, std::move(problem)};
    return {{"module alsa.so", "audio_source alsa," + alsaDevice, "audio_player alsa," + alsaDevice,
             "audio_alert alsa," + alsaDevice},
            {}};
}

bool firstTimeWithoutSound(const std::string& lineName) {
    static std::mutex mutex;
    static std::set<std::string> told;
    std::lock_guard lock(mutex);
    return told.insert(lineName).second;
}

}  // namespace lumora::telephony
