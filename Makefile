# Thin wrapper over CMake: one obvious command per job.
#   make          build into build/
#   make test     build and run every test through CTest
#   make run      build and start the viewer
#   make test-sanitize   the unit tests again under ASan and UBSan, in build-sanitize/
#   make install  build and install under PREFIX (default /usr/local)
#   make samples  draw the sample pictures again and write them into samples/
#   make bench    build the benchmarks (Release, in build-bench/) and run them
#   make fuzz     build the libFuzzer targets with clang, in build-fuzz/
#   make fuzz-ci  every fuzz target replays the corpus, then fuzzes for
#                 FUZZ_SECONDS; any finding fails (left in fuzz/findings/)
#   make corpus   write the seed corpus anew into fuzz/corpus/

BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
BENCH_BUILD    ?= build-bench
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
PREFIX         ?= /usr/local
FUZZ_BUILD     ?= build-fuzz
FUZZ_SECONDS   ?= 60

# Debian packages the build, the tests and the viewer need.  Installed only
# when missing, and only when we run as root (CI, a fresh machine).
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev qt6-base-dev \
            libpng-dev fonts-noto-cjk shared-mime-info desktop-file-utils groff-base \
            libbenchmark-dev

# The fuzz build's compiler and libFuzzer runtime, installed the same way.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

.PHONY: all build deps configure test test-sanitize run install clean samples bench fuzz fuzz-deps fuzz-ci corpus

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = 0 ]; then \
	        echo "Installing missing packages:" $$missing; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "Missing Debian packages (run as root to install):" $$missing; \
	    fi; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DLUNIDOR_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# The same install step, over the fuzz packages (a command-line variable
# overrides the makefile's own).
fuzz-deps:
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"

fuzz: deps fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	    -DLUNIDOR_FUZZ=ON -DLUNIDOR_FUZZ_SECONDS=$(FUZZ_SECONDS) -DLUNIDOR_VIEWER=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lunidor_fuzzers

# The fuzz targets' CTest tests (label "fuzz"), one per core at a time, and
# how far each fuzzing run got.
fuzz-ci: fuzz
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure -j $(JOBS)
	@grep -hE '^[0-9]+/[0-9]+ Test: |DONE ' $(FUZZ_BUILD)/Testing/Temporary/LastTest.log || true

corpus: configure
	cmake --build $(BUILD) -j $(JOBS) --target lunidor-make-corpus
	$(BUILD)/lunidor-make-corpus fuzz/corpus

run: deps
	$(MAKE) build
	cd $$([ -d samples ] && echo samples || echo .) && $(CURDIR)/$(BUILD)/lunidor

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

samples: configure
	cmake --build $(BUILD) -j $(JOBS) --target make-samples
	$(BUILD)/make-samples samples

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLUNIDOR_BENCH=ON -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target run_benchmarks

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
