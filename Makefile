# Thin wrapper over CMake: one obvious command per job.
#   make          build into build/
#   make test     build and run every test through CTest
#   make run      build and start the viewer
#   make test-sanitize   the unit tests again under ASan and UBSan, in build-sanitize/

BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=

# Debian packages the build, the tests and the viewer need.  Installed only
# when missing, and only when we run as root (CI, a fresh machine).
PACKAGES := cmake g++ make pkg-config libgtest-dev libgmock-dev qt6-base-dev \
            libpng-dev fonts-noto-cjk

.PHONY: all build deps configure test test-sanitize run clean

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

run: deps
	$(MAKE) build
	cd $$([ -d samples ] && echo samples || echo .) && $(CURDIR)/$(BUILD)/lunidor

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
