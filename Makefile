# The set-up commands: `make run` and `make test`. Both install what is missing first, each
# only what it needs.
BUILD     ?= build
JOBS      ?= $(shell nproc)
# Building and running the program.
RUN_PACKAGES := build-essential cmake qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core \
                libcli11-dev nlohmann-json3-dev libeigen3-dev libsndfile1-dev
# The tests, benchmarks and fuzzers; `locales` gives the number tests a foreign locale, ghdl
# and iverilog run the hardware-description exports.
TEST_PACKAGES := locales libgtest-dev libbenchmark-dev clang libclang-rt-14-dev libxml2-utils \
                 ghdl iverilog
# The end-to-end tests: the X tools and headers, a session bus, the AT-SPI client that reads the
# program as a screen reader does, and stress-ng to run them with both cores busy.
E2E_PACKAGES := xvfb xauth openbox xdotool imagemagick x11-utils xclip librsvg2-bin libxcb1-dev \
                dbus-daemon at-spi2-core python3-pyatspi stress-ng
# Building the Debian package, then checking it and the desktop texts.
PACKAGE_PACKAGES := dpkg-dev file
CHECK_PACKAGES := lintian appstream desktop-file-utils groff man-db
ALL_PACKAGES := $(RUN_PACKAGES) $(TEST_PACKAGES) $(E2E_PACKAGES) $(PACKAGE_PACKAGES) $(CHECK_PACKAGES)
# The Windows cross build, Wine to run its tests, NSIS for the installer, and the X tools and
# libraries with which the dialog's tests drive it under Wine.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 wine nsis
WINE_E2E_PACKAGES := xvfb xdotool x11-utils imagemagick xclip libx11-dev libxtst-dev
WINDOWS_BUILD := $(BUILD)/windows
WINDOWS_CMAKE := cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
                 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTAPLORE_GUI=OFF \
                 -DTAPLORE_BENCH=OFF -DTAPLORE_PACKAGING=OFF -DTAPLORE_E2E=OFF
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test test-long test-windows bench fuzz install package package-windows deps build clean
FUZZ_SECONDS ?= 300
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp

# What a target installs and whether its build holds the tests: set here, they reach `build`
# and `deps` too. The program alone unless a target asks for more.
NEEDED := $(RUN_PACKAGES)
TESTS := OFF
test test-long bench: NEEDED := $(ALL_PACKAGES)
test test-long bench: TESTS := ON
fuzz: NEEDED := $(RUN_PACKAGES) $(TEST_PACKAGES)
package: NEEDED := $(RUN_PACKAGES) $(PACKAGE_PACKAGES)
# The cross build's tests build GoogleTest from the sources libgtest-dev brings.
test-windows: NEEDED := $(RUN_PACKAGES) libgtest-dev $(WINDOWS_PACKAGES) $(WINE_E2E_PACKAGES)
package-windows: NEEDED := $(RUN_PACKAGES) libgtest-dev $(WINDOWS_PACKAGES)

run: build
	$(BUILD)/taplore

# Every layer in the release build (the end-to-end tests unpack the Debian package, built
# first), then the computation and widget tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a short while. Tests run a core each;
# those that drive a real X server or Wine's dialog run alone. The designs that take minutes are
# left to `make test-long`.
test: build
	cmake --build $(BUILD) --target package
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE long
	cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPLORE_SANITIZE=ON -DTAPLORE_E2E=OFF
	cmake --build $(BUILD)/sanitize -j $(JOBS)
	cd $(BUILD)/sanitize && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) -LE long
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTAPLORE_FUZZ=ON -DTAPLORE_FUZZ_SECONDS=20
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	cd $(BUILD)/fuzz && ctest --output-on-failure -j $(JOBS)

test-long: build
	cd $(BUILD) && ctest --output-on-failure -L long

# The core, taplore-design.exe, the dialog taplore.exe, the installer and their tests
# cross-built for 64-bit Windows and run under Wine (its prefixes in the build folder): the
# .exe's output compared with the Linux build's, the dialog driven in Xvfb, the installer
# installed, run and uninstalled.
test-windows: build
	$(WINDOWS_CMAKE) -DTAPLORE_LINUX_DESIGN=$(abspath $(BUILD))/taplore-design
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	$(WINDOWS_BUILD)/wine-run wineboot --init # a new prefix is made once, before any test
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

# $(WINDOWS_BUILD)/taplore-<version>-win64-setup.exe, the installer, and beside it
# taplore-<version>-win64.zip: both programs, the manual, the licence and a how-to.
package-windows: deps
	$(WINDOWS_CMAKE)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target package-windows

fuzz: deps
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTAPLORE_FUZZ=ON -DTAPLORE_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	cd $(BUILD)/fuzz && ctest --output-on-failure -j $(JOBS)

BENCH_FLAGS := --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
bench: build
	$(BUILD)/bench/core_bench $(BENCH_FLAGS)
	$(BUILD)/bench/dialog_bench $(BENCH_FLAGS)

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# $(BUILD)/taplore_<version>_<architecture>.deb, built by CPack.
package: build
	cmake --build $(BUILD) --target package

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DTAPLORE_TESTS=$(TESTS)
	cmake --build $(BUILD) -j $(JOBS)

# Installs only the Debian packages that are missing, without questions.
deps:
	@missing=$$(for p in $(NEEDED); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

clean:
	rm -rf $(BUILD)
