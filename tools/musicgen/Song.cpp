#include "Song.h"

namespace music {

const Channel* Song::find(const std::string& name) const {
    for (const Channel& channel : channels)
        if (channel.name == name) return &channel;
    return nullptr;
}

}  // namespace music
