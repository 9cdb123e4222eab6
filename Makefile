# make        builds every gauge module (Windows .gau into dist/gauges) and the native tree
# make test   builds everything and runs every test
# Both install missing Debian packages first when run as root.

NATIVE := build/native
WINDOWS := build/windows
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps native windows preview test clean

all: windows preview

deps:
	@tools/bootstrap.sh

$(NATIVE)/Makefile: | deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

native: deps $(NATIVE)/Makefile
	cmake --build $(NATIVE) -j $(JOBS)

# The Windows modules take the art the native tool drew.
$(WINDOWS)/Makefile: | deps
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
	      -DGAUGE_ART_DIR=$(abspath $(NATIVE))/art -DCMAKE_INSTALL_PREFIX=$(abspath dist)

windows: native $(WINDOWS)/Makefile
	cmake --build $(WINDOWS) -j $(JOBS)
	cmake --install $(WINDOWS)
	@# The inspector's report of each shipped module (status 1: problems found, listed in the report).
	@mkdir -p dist/reports
	$(NATIVE)/tools/gauinspect --report dist/reports dist/gauges/*.gau || [ $$? -eq 1 ]

# A picture of every gauge and of the whole panel (dist/preview), and the panel's layout as a
# panel configuration (dist/panel.cfg.example), rendered by the panel bench.
preview: native
	@mkdir -p dist/preview
	$(NATIVE)/tools/render_panel --scale 2 --out-dir dist/preview tools/bench/previews/*.scn
	$(NATIVE)/tools/render_panel --cfg dist/panel.cfg.example -o dist/preview/panel.png tools/bench/panel.scn

test: all
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build dist
