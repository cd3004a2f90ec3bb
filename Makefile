# Developer entry points. `make demo` and `make test` each run the set-up first.
BUILD_DIR := $(CURDIR)/build
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel
# Lets ccache share objects between clones and worktrees of the project.
export CCACHE_BASEDIR := $(CURDIR)

# Seconds each fuzz target runs: `make fuzz` for a real search, `make test` for a
# smoke run in which a crash or a broken invariant fails the tests.
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 3
# The project's one version; the Java parts take it as their Maven revision.
VERSION := $(shell cat $(CURDIR)/VERSION)
MAVEN := mvn --batch-mode -f $(CURDIR)/java/pom.xml -Drevision=$(VERSION)

.PHONY: all setup build test fuzz demo bench dist clean

all: build

setup:
	bash scripts/setup.sh

build: setup
	bash scripts/fetch-runtime.sh
	cmake -S . -B $(BUILD_DIR)/i686 $(CMAKE_FLAGS) --toolchain cmake/mingw-i686.cmake \
	  -DORVO_PAIR_LAUNCHER=$(BUILD_DIR)/x86_64/orvo64.exe
	cmake -S . -B $(BUILD_DIR)/x86_64 $(CMAKE_FLAGS) --toolchain cmake/mingw-x86_64.cmake \
	  -DORVO_PAIR_LAUNCHER=$(BUILD_DIR)/i686/orvo.exe
	cmake -S tools/orvo-pack -B $(BUILD_DIR)/native -G Ninja
	cmake --build $(BUILD_DIR)/i686
	cmake --build $(BUILD_DIR)/x86_64
	cmake --build $(BUILD_DIR)/native
	@# After the launchers: the plugin's jar carries them. Installed into the local Maven
	@# repository, for any project on this machine.
	$(MAVEN) --quiet -DskipTests install

test: build
	bash scripts/run-tests.sh
	bash scripts/java-tests.sh
	FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS) bash scripts/fuzz.sh

fuzz: setup
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz.sh

demo: build
	bash scripts/demo.sh

# Figures only (build/bench/results.md); BENCH_RUNS sets the runs per row (default 15).
bench: build
	bash bench/run-all.sh

# The release: build/dist/orvo-$(VERSION)/ and its zip.
dist: build
	bash scripts/dist.sh

clean:
	rm -rf $(BUILD_DIR)
