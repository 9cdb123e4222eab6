# make        builds every gauge module (Windows .gau into dist/gauges) and the native tree
# make test   builds everything and runs every test, then the same tests and a short seeded
#             soak of every module in a sanitizer build (AddressSanitizer, UBSan, LeakSanitizer)
# make soak   the long soak (ten million steps) in the sanitizer build
# make bench  the panel benchmarks, printed as one table
# Both install missing Debian packages first when run as root.

NATIVE := build/native
WINDOWS := build/windows
SANITIZE := build/sanitize
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
SOAK_SEED ?= 1
SOAK_STEPS ?= 1000000
LONG_SOAK_STEPS ?= 10000000
# LeakSanitizer passes over the caches system libraries keep for the life of a process (the
# font lookup behind the art's text); anything of ours is still reported.
SANITIZER_ENV := LSAN_OPTIONS=suppressions=$(abspath tools/soak/lsan.supp)

.PHONY: all deps native windows preview sanitize test soak bench clean

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

# The native tree again with every sanitizer check on, modules included.
$(SANITIZE)/Makefile: | deps
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGAUGE_SANITIZE=ON

sanitize: deps $(SANITIZE)/Makefile
	$(SANITIZER_ENV) cmake --build $(SANITIZE) -j $(JOBS)

test: all sanitize
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	cd $(SANITIZE) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)
	$(SANITIZER_ENV) $(SANITIZE)/tools/soak/panel_soak --seed $(SOAK_SEED) --steps $(SOAK_STEPS)

soak: sanitize
	$(SANITIZER_ENV) $(SANITIZE)/tools/soak/panel_soak --seed $(SOAK_SEED) --steps $(LONG_SOAK_STEPS)

bench: windows
	python3 bench/run_bench.py --build $(NATIVE) --gauges dist/gauges

clean:
	rm -rf build dist
