#include "base/audio/AlsaConfiguration.h"

#include <alsa/asoundlib.h>

namespace kestrova {

void forgetAlsaConfiguration() {
    snd_config_update_free_global();
}

} // namespace kestrova
