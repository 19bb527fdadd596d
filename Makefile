# Thin wrapper over CMake: one obvious command per job.
#   make          build into build/
#   make test     build and run every test through CTest
#   make run      build and start the viewer
#   make test-sanitize   the unit tests again under ASan and UBSan, in build-sanitize/
#   make fuzz     build the libFuzzer targets with clang, in build-fuzz/
#   make fuzz-ci  replay the corpus through each fuzz target, then fuzz each
#                 for FUZZ_SECONDS; any finding fails
#   make corpus   write the seed corpus anew into fuzz/corpus/

BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=
FUZZ_BUILD     ?= build-fuzz
FUZZ_SECONDS   ?= 60
FUZZERS        ?= fuzz_convert fuzz_header

# Debian packages the build, the tests and the viewer need.  Installed only
# when missing, and only when we run as root (CI, a fresh machine).
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev qt6-base-dev \
            libpng-dev fonts-noto-cjk

# The fuzz build's compiler and libFuzzer runtime, installed the same way.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev

.PHONY: all build deps configure test test-sanitize run clean fuzz fuzz-deps fuzz-ci corpus

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
	    -DLUNIDOR_FUZZ=ON -DLUNIDOR_VIEWER=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lunidor_fuzzers

# Each target first replays the seed corpus, then fuzzes with new inputs
# kept under fuzz/findings/ (git-ignored), crashes included.
fuzz-ci: fuzz
	@for f in $(FUZZERS); do \
	    mkdir -p fuzz/findings/$$f/corpus && \
	    echo "== $$f: corpus replay, then $(FUZZ_SECONDS) s of fuzzing" && \
	    $(FUZZ_BUILD)/fuzz/$$f -runs=0 fuzz/corpus && \
	    $(FUZZ_BUILD)/fuzz/$$f -max_total_time=$(FUZZ_SECONDS) -dict=fuzz/mag.dict \
	        -artifact_prefix=fuzz/findings/$$f/ -print_final_stats=1 \
	        fuzz/findings/$$f/corpus fuzz/corpus || exit 1; \
	done

corpus: configure
	cmake --build $(BUILD) -j $(JOBS) --target lunidor-make-corpus
	$(BUILD)/lunidor-make-corpus fuzz/corpus

run: deps
	$(MAKE) build
	cd samples && ../$(BUILD)/lunidor

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
