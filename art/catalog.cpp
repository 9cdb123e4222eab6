#include "art/catalog.h"

namespace art {
namespace {

// Until each instrument has its own drawing: a plain panel-grey plate with a darker rim.
void plain_plate(Canvas& c) {
    c.fill_rect(0, 0, c.width, c.height, 0x3A3A3A);
    c.frame_rect(0, 0, c.width, c.height, 0x1C1C1C);
}

}  // namespace

const std::vector<Picture>& catalog() {
    static const std::vector<Picture> pictures = {
        {"xpdr_face.bmp", 154, 163, plain_plate},
        // Test fixture module only.
        {"probe_plate.bmp", 100, 80, plain_plate},
    };
    return pictures;
}

}  // namespace art
