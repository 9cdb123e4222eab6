// Draws every bitmap of the art catalogue, and the switch click sample, into a folder where
// the resource compiler picks them up. Usage: artgen OUTPUT_DIR
#include <stdio.h>

#include "art/catalog.h"
#include "art/click.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (const art::Picture& p : art::catalog()) {
        art::Canvas canvas(p.width, p.height);
        p.draw(canvas);
        if (!art::write_bmp8(dir + "/" + p.file, canvas)) {
            fprintf(stderr, "artgen: cannot write %s/%s\n", dir.c_str(), p.file);
            return 1;
        }
    }
    if (!art::write_click_wave(dir + "/click.wav")) {
        fprintf(stderr, "artgen: cannot write %s/click.wav\n", dir.c_str());
        return 1;
    }
    return 0;
}
