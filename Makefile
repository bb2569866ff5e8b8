# Two commands for a newcomer: `make run` and `make test`. Both install what
# is missing, configure and build; see README.md.

B ?= build
JOBS ?= 2
SHELL := /bin/bash

# The shipping build is 32-bit. Tests run in a tree this machine can execute:
# the same 32-bit build when the kernel runs 32-bit programs (32-bit Wine),
# otherwise an x86_64 build of the same sources under wine64.
WIN32_DIR := $(B)/win32
TEST_ARCH = $(shell scripts/can-run-i386 && echo i686 || echo x86_64)
TEST_DIR := $(B)/test

.PHONY: all deps configure build test run dist clean contact-sheet

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@scripts/configure-tree.sh $(WIN32_DIR) i686 OFF
	@scripts/configure-tree.sh $(TEST_DIR) $(TEST_ARCH) ON

build: configure
	@cmake --build $(WIN32_DIR) -j $(JOBS)
	@cmake --build $(TEST_DIR) -j $(JOBS)

test: build
	@scripts/run-tests.sh $(TEST_DIR) $(WIN32_DIR)

run: build
	@scripts/run-panel.sh $(TEST_DIR)

dist: build
	@scripts/make-dist.sh $(WIN32_DIR) dist

contact-sheet: build
	@cmake --build $(TEST_DIR) --target contact_sheet

clean:
	rm -rf $(B) dist
