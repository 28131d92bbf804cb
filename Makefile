# Quillmarsh: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install what is missing first (Debian 12).
#
# The two build in folders of their own: the tests' build (and CI's) treats
# every warning as an error, the program's build for `make run` does not, so
# that a newer compiler's new warnings never stop a first run. Each folder
# keeps its own setting: neither reconfigures the other.

BUILD   ?= build
RUN_BUILD ?= build-run
JOBS    ?= $(shell nproc)
PACKAGES = qt6-base-dev libgtest-dev libgmock-dev cmake ninja-build ccache g++ \
           fonts-dejavu-core fonts-liberation2 fonts-droid-fallback xvfb xauth x11-utils xdg-utils \
           poppler-utils xdotool locales
# The system locales the tests run the program under (regional formats of
# English, German and Greek users); generated when missing.
LOCALES  = en_GB en_US de_DE el_GR
SUDO    := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build test sanitize run clean

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
	@for l in $(LOCALES); do \
	  locale -a 2>/dev/null | grep -qix "$$l.utf-\?8" || { \
	    echo "Generating the locale $$l.UTF-8"; \
	    $(SUDO) localedef -i $$l -c -f UTF-8 -A /usr/share/locale/locale.alias $$l.UTF-8 || exit 1; }; \
	done

# The tests' builds also check the standard library's preconditions (an
# empty optional read, an index past a vector's end): such a fault otherwise
# passes silently, reading whatever memory is there.
CHECKED_FLAGS = -D_GLIBCXX_ASSERTIONS

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON \
	  -DCMAKE_CXX_FLAGS="$(CHECKED_FLAGS)"

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# The tests once more, built with the address and undefined-behaviour
# sanitizers in a folder of their own; any report fails the run. Leaks are
# checked too, with suppressions for system libraries only (.ci/lsan.supp).
SANITIZE_BUILD ?= build-asan
SANITIZE_FLAGS  = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer $(CHECKED_FLAGS)

$(SANITIZE_BUILD)/build.ninja: | deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=ON \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)"

sanitize: deps $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS) --timeout 1200

$(RUN_BUILD)/build.ninja: | deps
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR=OFF

# The program runs from $(RUN_BUILD)/bin, its application folder: the INI file
# and the help files live there. Without a display it says how to get one.
run: deps $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) -j $(JOBS) --target Quillmarsh
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to open the window on. Either start one:"; \
	  echo "    Xvfb :99 & export DISPLAY=:99; make run"; \
	  echo "or run it on a virtual one in one go:"; \
	  echo "    xvfb-run -a make run"; \
	  exit 1; \
	fi
	cd $(RUN_BUILD)/bin && ./Quillmarsh

clean:
	rm -rf $(BUILD) $(RUN_BUILD) $(SANITIZE_BUILD)
