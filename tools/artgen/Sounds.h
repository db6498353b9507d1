// The four sounds, synthesised: two clicks of a tile put down, a tile
// sliding away, and a gong that rings out for three seconds.
#pragma once

#include "Encoders.h"

struct Sound {
    const char* file;    // under sounds/
    WaveFormat wave;
};

std::vector<Sound> Sounds();
