# Quillmarsh: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install what is missing first (Debian 12).

BUILD   ?= build
JOBS    ?= $(shell nproc)
PACKAGES = qt6-base-dev libgtest-dev libgmock-dev cmake ninja-build ccache g++ \
           fonts-dejavu-core fonts-liberation2 xvfb xauth x11-utils xdg-utils \
           poppler-utils
SUDO    := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build test run clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# The program runs from $(BUILD)/bin, its application folder: the INI file and
# the help files live there. Without a display it says how to get one.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to open the window on. Either start one:"; \
	  echo "    Xvfb :99 & export DISPLAY=:99; make run"; \
	  echo "or run it on a virtual one in one go:"; \
	  echo "    xvfb-run -a make run"; \
	  exit 1; \
	fi
	cd $(BUILD)/bin && ./Quillmarsh

clean:
	rm -rf $(BUILD)
