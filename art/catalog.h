// Every bitmap the gauge modules carry: its file name (as the resource scripts name it),
// its pixel size and how it is drawn.
#pragma once

#include <vector>

#include "art/canvas.h"

namespace art {

struct Picture {
    const char* file;   // file name used by the resource scripts
    int width;
    int height;
    void (*draw)(Canvas&);
};

const std::vector<Picture>& catalog();

}  // namespace art
