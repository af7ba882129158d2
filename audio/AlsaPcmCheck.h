#pragma once

// Whether PortAudio's ALSA host API may be initialised on this process's ALSA configuration.
//
// The PortAudio 19.6 of Debian and its derivatives aborts the whole process inside
// Pa_Initialize (an assertion while it builds its device list) unless the PCM definitions of
// the ALSA configuration include one named "default" or "dmix": with no PCM at all (an empty
// configuration, ALSA_CONFIG_PATH=/dev/null, a configuration that defines controls only),
// and equally with PCMs of other names only. Later PortAudio releases list no device there
// instead. The test reads the same configuration tree that PortAudio reads afterwards.
class AlsaPcmCheck {
public:
    // True when the configuration defines a PCM named "default" or "dmix". Loads the ALSA
    // configuration (snd_config_update) as a side effect. Call before Pa_Initialize.
    static bool PortAudioCanListDevices();
};
