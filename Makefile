# The set-up commands of the README. The first three install what is missing
# first. make install / make uninstall put the program (or take it away) for
# the user who runs them: in PREFIX (default ~/.local/share/varnel-kesp), with
# a menu entry and an icon; the user's tables and exports stay.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30
PREFIX ?=

.PHONY: run test build deps bench fuzz clean install uninstall

deps:
	./scripts/install-dependencies.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/kesp

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release -j $(JOBS) --target benchmarks
	./scripts/run-benchmarks.sh build-release

install: build
	PREFIX="$(PREFIX)" ./scripts/install.sh install "$(BUILD)/app"

uninstall:
	PREFIX="$(PREFIX)" ./scripts/install.sh uninstall

# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS.
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESP_FUZZ=ON \
		-DCMAKE_CXX_COMPILER=clang++ -DFUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build build-fuzz -j $(JOBS) --target fuzz

clean:
	rm -rf $(BUILD) build-release build-fuzz
