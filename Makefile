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

# What `mvn install` builds the Java parts from, and what it puts into the local Maven
# repository. The stamp says when this tree last installed them.
JAVA_SOURCES := $(shell find $(CURDIR)/java -type f)
PACKED_LAUNCHERS := $(BUILD_DIR)/i686/orvo.exe $(BUILD_DIR)/x86_64/orvo64.exe \
  $(BUILD_DIR)/i686/orvoc.exe $(BUILD_DIR)/x86_64/orvoc64.exe
MAVEN_REPOSITORY := $(HOME)/.m2/repository/dev/orvo
INSTALLED_JARS := $(MAVEN_REPOSITORY)/orvo-pack/$(VERSION)/orvo-pack-$(VERSION).jar \
  $(MAVEN_REPOSITORY)/orvo-maven-plugin/$(VERSION)/orvo-maven-plugin-$(VERSION).jar
JAVA_INSTALLED := $(BUILD_DIR)/java/installed.stamp

.PHONY: all setup runtimes configure build java-install force test checks fuzz demo bench dist clean

all: build

setup:
	bash scripts/setup.sh

runtimes: setup
	bash scripts/fetch-runtime.sh

# Each tree is configured once; afterwards ninja runs cmake again by itself whenever
# a CMakeLists.txt or a globbed source folder changes.
$(BUILD_DIR)/i686/build.ninja: | setup
	cmake -S . -B $(BUILD_DIR)/i686 $(CMAKE_FLAGS) --toolchain cmake/mingw-i686.cmake \
	  -DORVO_PAIR_LAUNCHER=$(BUILD_DIR)/x86_64/orvo64.exe
$(BUILD_DIR)/x86_64/build.ninja: | setup
	cmake -S . -B $(BUILD_DIR)/x86_64 $(CMAKE_FLAGS) --toolchain cmake/mingw-x86_64.cmake \
	  -DORVO_PAIR_LAUNCHER=$(BUILD_DIR)/i686/orvo.exe
$(BUILD_DIR)/native/build.ninja: | setup
	cmake -S tools/orvo-pack -B $(BUILD_DIR)/native -G Ninja

configure: $(BUILD_DIR)/i686/build.ninja $(BUILD_DIR)/x86_64/build.ninja $(BUILD_DIR)/native/build.ninja

build: runtimes configure
	cmake --build $(BUILD_DIR)/i686
	cmake --build $(BUILD_DIR)/x86_64
	cmake --build $(BUILD_DIR)/native
	@# After the launchers, in a second make that sees their new times: the console
	@# launchers, then the plugin's jar, which carries all four.
	@$(MAKE) --no-print-directory java-install

# The console launchers are the windowed ones marked for the console subsystem, made by
# the same step that turns a user's packed launcher into its console kind.
$(BUILD_DIR)/i686/orvoc.exe: $(BUILD_DIR)/i686/orvo.exe $(BUILD_DIR)/native/orvo-pack
	$(BUILD_DIR)/native/orvo-pack --console --launcher $< --out $@
$(BUILD_DIR)/x86_64/orvoc64.exe: $(BUILD_DIR)/x86_64/orvo64.exe $(BUILD_DIR)/native/orvo-pack
	$(BUILD_DIR)/native/orvo-pack --console --launcher $< --out $@

# The Java parts, installed into the local Maven repository for any project on this
# machine: again only when something they are built from changed, or when the installed
# jars are missing or newer than the stamp (another clone of the project installed its own).
java-install: $(JAVA_INSTALLED)
$(JAVA_INSTALLED): $(JAVA_SOURCES) $(CURDIR)/VERSION $(PACKED_LAUNCHERS) $(wildcard $(INSTALLED_JARS)) \
    $(if $(filter-out $(wildcard $(INSTALLED_JARS)),$(INSTALLED_JARS)),force)
	$(MAVEN) --quiet -DskipTests install
	@mkdir -p $(@D) && touch $@

force:

# Checks that need no build: includes point down the floors, the scripts are clean.
checks: setup
	bash scripts/check-layers.sh
	shellcheck -x $$(find scripts bench tools tests -name '*.sh')

test: checks build
	bash scripts/run-tests.sh
	bash scripts/java-tests.sh
	FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS) bash scripts/fuzz.sh

fuzz: setup
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz.sh

# Only what the demo runs: both launchers, orvo-pack and the one runtime it bundles.
demo: setup configure
	bash scripts/fetch-runtime.sh jdk
	cmake --build $(BUILD_DIR)/i686 --target orvo_launcher
	cmake --build $(BUILD_DIR)/x86_64 --target orvo_launcher
	cmake --build $(BUILD_DIR)/native --target orvo_pack
	bash scripts/demo.sh

# Figures only (build/bench/results.md); BENCH_RUNS sets the runs per row (default 15).
bench: build
	bash bench/run-all.sh

# The release: build/dist/orvo-$(VERSION)/ and its zip.
dist: build
	bash scripts/dist.sh

clean:
	rm -rf $(BUILD_DIR)
