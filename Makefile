# Two commands for a newcomer: `make run` and `make test`. Both install what
# is missing, configure and build; see README.md.

B ?= build
JOBS ?= 2
SHELL := /bin/bash

# The shipping build is 32-bit. Tests run in a tree this machine can execute:
# where the kernel runs 32-bit programs, the shipping tree itself, in a
# 32-bit Windows prefix; otherwise an x86_64 build of the same sources under
# wine64. VEXA_TEST_TREE=i686 or VEXA_TEST_TREE=x86_64 forces one of them.
WIN32_DIR := $(B)/win32
TEST_ARCH := $(or $(VEXA_TEST_TREE),$(shell scripts/can-run-i386 && echo i686 || echo x86_64))
ifeq ($(TEST_ARCH),i686)
TEST_DIR := $(WIN32_DIR)
WIN32_TESTS := ON
else ifeq ($(TEST_ARCH),x86_64)
TEST_DIR := $(B)/test
WIN32_TESTS := OFF
else
$(error VEXA_TEST_TREE is i686 or x86_64, not "$(TEST_ARCH)")
endif

.PHONY: all deps configure build test soak benchmark run dist clean contact-sheet screenshots

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@scripts/configure-tree.sh $(WIN32_DIR) i686 $(WIN32_TESTS)
	@[ "$(TEST_DIR)" = "$(WIN32_DIR)" ] || scripts/configure-tree.sh $(TEST_DIR) $(TEST_ARCH) ON

build: configure
	@cmake --build $(WIN32_DIR) -j $(JOBS)
	@[ "$(TEST_DIR)" = "$(WIN32_DIR)" ] || cmake --build $(TEST_DIR) -j $(JOBS)

test: build
	@scripts/run-tests.sh $(TEST_DIR) $(WIN32_DIR)

# The long runs: the whole fault sweep, the 10,000-round soak, long fuzzing.
soak: build
	@scripts/run-soak.sh $(TEST_DIR)

benchmark: build
	@scripts/benchmark.sh $(TEST_DIR)

run: build
	@scripts/run-panel.sh $(TEST_DIR)

dist: build
	@scripts/make-dist.sh $(WIN32_DIR) dist

# The README's pictures of the panel, in English and Chinese, into docs/.
screenshots: build
	@scripts/screenshots.sh $(TEST_DIR) docs

contact-sheet: build
	@cmake --build $(TEST_DIR) --target contact_sheet

clean:
	rm -rf $(B) dist
