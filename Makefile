# The two set-up commands: `make run` and `make test`. Both install what is missing first.
BUILD     ?= build
JOBS      ?= $(shell nproc)
PACKAGES  := build-essential cmake qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core locales \
             libgtest-dev libbenchmark-dev clang libclang-rt-14-dev libcli11-dev
E2E_PACKAGES := xvfb xauth openbox xdotool imagemagick x11-utils xclip
# Building the Debian package and checking it and the desktop texts.
PACKAGING_PACKAGES := dpkg-dev file lintian appstream desktop-file-utils groff man-db
# The Windows cross build and Wine to run its tests.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix wine64 wine
WINDOWS_BUILD := $(BUILD)/windows
WINDOWS_CMAKE := cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
                 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTAPLORE_GUI=OFF \
                 -DTAPLORE_BENCH=OFF -DTAPLORE_PACKAGING=OFF -DTAPLORE_E2E=OFF
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test test-windows bench fuzz install package package-windows deps deps-windows build clean
FUZZ_SECONDS ?= 300
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp

run: build
	$(BUILD)/taplore

# Every layer in the release build (the end-to-end tests unpack the Debian package, built
# first), then the computation and widget tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a short while.
test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)
	cmake --build $(BUILD) --target package
	cd $(BUILD) && ctest --output-on-failure
	cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPLORE_SANITIZE=ON -DTAPLORE_E2E=OFF
	cmake --build $(BUILD)/sanitize -j $(JOBS)
	cd $(BUILD)/sanitize && $(SANITIZER_ENV) ctest --output-on-failure
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTAPLORE_FUZZ=ON -DTAPLORE_FUZZ_SECONDS=20
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	cd $(BUILD)/fuzz && ctest --output-on-failure

# The core, taplore-design.exe and their tests cross-built for 64-bit Windows and run under
# Wine (its prefix in the build folder); the .exe's output compared with the Linux build's.
test-windows: deps deps-windows
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS) --target taplore-design
	$(WINDOWS_CMAKE) -DTAPLORE_LINUX_DESIGN=$(abspath $(BUILD))/taplore-design
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	$(WINDOWS_BUILD)/wine-run wineboot --init # a new prefix is made once, before any test
	cd $(WINDOWS_BUILD) && ctest --output-on-failure

# $(WINDOWS_BUILD)/taplore-design-<version>-win64.zip: the .exe, the licence and a how-to.
package-windows: deps-windows
	$(WINDOWS_CMAKE)
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target package-windows

fuzz: deps
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTAPLORE_FUZZ=ON -DTAPLORE_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(BUILD)/fuzz -j $(JOBS)
	cd $(BUILD)/fuzz && ctest --output-on-failure

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
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# Installs only the Debian packages of the list that are missing, without questions.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES) $(E2E_PACKAGES) $(PACKAGING_PACKAGES))

deps-windows:
	$(call install_missing,$(WINDOWS_PACKAGES))

clean:
	rm -rf $(BUILD)
