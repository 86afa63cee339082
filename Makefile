# Set-up, build, tests and demo in one place. Every target installs what it is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build check test test-release test-asan fuzz demo bench clean cd package

all: build

# Once per make invocation: the targets that `test` runs get DEPS_DONE=1, so an automatic update
# holding the package lock can get in the way at most once, and install-deps waits for it then.
DEPS_DONE ?=
deps:
	@if [ -z "$(DEPS_DONE)" ]; then bash tools/install-deps.sh; fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The gates before any build: every C++ file as .clang-format has it, every shell script clean
# under shellcheck.
check: deps
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
	git ls-files -z '*.sh' | xargs -0 shellcheck
	@echo "check: formatting and shell scripts clean"

# The whole suite: the gates, the release build, a minute of fuzzing the reply cutter, then the
# same tests under ASan and UBSan (whose tree treats warnings as errors).
test: deps
	$(MAKE) check DEPS_DONE=1
	$(MAKE) test-release DEPS_DONE=1
	$(MAKE) fuzz DEPS_DONE=1
	$(MAKE) test-asan DEPS_DONE=1

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTARVEX_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The reply cutter under libFuzzer (clang), about a minute; it must find nothing.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DTARVEX_BUILD_TESTS=OFF -DTARVEX_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target tarvex_reply_fuzzer
	ctest --test-dir $(FUZZ_BUILD) -L fuzz --verbose

demo: build
	DEPS_DONE=1 bash tools/demo.sh $(BUILD)

# The speed figures on the lab network, next to the old way (root); not a test.
bench: build
	bash tools/bench.sh $(BUILD)

# The folder that goes on the setup CD, in ./cd/ (see the README).
cd: build
	bash tools/make-cd.sh $(BUILD) cd

# The Debian package, in $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
