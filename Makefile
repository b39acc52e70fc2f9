# make run   - install what is missing, build, and start the program
# make test  - install what is missing, build everything, run every test
# make bench - engine throughput and memory
# make fuzz  - the header, decryption and strong container fuzzers, FUZZ_SECONDS (120) each
# make dist  - packages into dist/
SHELL := /bin/bash
.DELETE_ON_ERROR:

NATIVE   := build/native
SANITIZE := build/sanitize
WINDOWS  := build/windows
WINE_SESSION := scripts/wine-session.sh

.PHONY: all deps native sanitize windows build test test-native test-sanitize test-windows test-windows-dpi test-packages test-fuzz run screenshots cli-demo bench fuzz dist clean format

all: build

deps:
	@scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

build: native windows

test-native: native
	ctest --preset native

test-sanitize: sanitize
	ctest --preset sanitize

# At the design's 96 DPI, whatever a run before left in the prefix.
test-windows: windows
	NB_WINE_DPI=96 $(WINE_SESSION) $(WINDOWS) ctest --preset windows

# The window's layout and pictures again at 144 and 192 DPI.
test-windows-dpi: windows
	scripts/dpi-tests.sh $(WINDOWS)

# The packages as a user gets them, with a Wine prefix made afresh each time:
# the installer writes into it.
PACKAGES := build/packages
test-packages: dist
	rm -rf $(PACKAGES) && mkdir -p $(PACKAGES)
	$(WINE_SESSION) $(PACKAGES) tests/packages/package_test.sh dist $(WINDOWS)/tests/packages/program_probe.exe

# Each fuzzer briefly under the sanitizers, from the seed containers; a
# finding fails the run.
TEST_FUZZ_SECONDS ?= 12
test-fuzz: deps
	FUZZ_SECONDS=$(TEST_FUZZ_SECONDS) scripts/fuzz.sh

test: deps
	@status=0; \
	for target in test-native test-sanitize test-windows test-windows-dpi test-packages test-fuzz; do \
	  $(MAKE) --no-print-directory $$target || status=1; \
	done; \
	if [ $$status -ne 0 ]; then echo "make test: FAILED"; else echo "make test: all suites passed"; fi; \
	exit $$status

run: windows
	scripts/run-program.sh $(WINDOWS)

# Pictures of the program for the README, into docs/screenshots/.
screenshots: windows
	scripts/screenshots.sh $(WINDOWS) docs/screenshots

# The command line's round trip on a sample file.
cli-demo: native
	scripts/engine-demo.sh $(NATIVE)

# One table on stdout. Needs four times the file size (NB_BENCH_MIB, 512)
# free in $TMPDIR or /tmp; NB_BENCH_RUNS (5) sets the runs per row.
bench:
	@scripts/install-deps.sh >&2
	@cmake --preset native >/dev/null
	@cmake --build --preset native --target nb_bench >/dev/null
	@$(NATIVE)/bench/nb_bench

# Packages into dist/: the Linux package of nbnx, the Windows installer and zip.
dist: native windows
	cd $(NATIVE) && cpack
	cd $(WINDOWS) && cpack

fuzz: deps
	scripts/fuzz.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
