# The two set-up commands: `make run` and `make test`. Both install what is missing first.
BUILD     ?= build
JOBS      ?= $(shell nproc)
PACKAGES  := build-essential cmake qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core \
             libgtest-dev libbenchmark-dev
E2E_PACKAGES := xvfb xauth openbox xdotool imagemagick x11-utils
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test bench install deps build clean

run: build
	$(BUILD)/taplore

test: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target core_bench
	$(BUILD)/bench/core_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# Installs only the Debian packages that are missing, without questions.
deps:
	@missing=$$(for p in $(PACKAGES) $(E2E_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

clean:
	rm -rf $(BUILD)
