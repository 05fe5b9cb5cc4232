# Both targets do all set-up on a fresh Debian machine: packages, configure, build, run.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DVELMORA_WERROR=ON)

.PHONY: setup configure build test demo clean

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD)
