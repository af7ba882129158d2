#include "audio/AlsaPcmCheck.h"

#include <alsa/asoundlib.h>

#include <cstring>

// PortAudio lists the PCM definitions (pcm.<name>) of the configuration, skipping some
// names, and the PCM devices of each sound card whose control it can open. It fills in every
// device but "default" and "dmix" first and asserts that at least one entry is left for
// those two, which holds exactly when one of them is among the definitions.
bool AlsaPcmCheck::PortAudioCanListDevices() {
    if (snd_config_update() < 0 || snd_config == nullptr) {
        return false; // PortAudio would fail on the same configuration; nothing to list
    }
    snd_config_t* pcms = nullptr;
    if (snd_config_search(snd_config, "pcm", &pcms) < 0) {
        return false;
    }
    snd_config_iterator_t entry;
    snd_config_iterator_t next;
    snd_config_for_each(entry, next, pcms) {
        const char* id = nullptr;
        if (snd_config_get_id(snd_config_iterator_entry(entry), &id) < 0 || id == nullptr) {
            continue;
        }
        if (std::strcmp(id, "default") == 0 || std::strcmp(id, "dmix") == 0) {
            return true;
        }
    }
    return false;
}
