# make run   — build, stage and start the service on port 8081 (installs what is missing)
# make test  — build with sanitizers and run every test, then the browser tests on the stage
# make stage — lay out a runnable install in build/stage
# make bench — run the benchmarks against the staged install
# make soak [SOAK_PEOPLE=200 SOAK_MINUTES=5] — simulated people against the staged install
# make screenshots — picture each screen for the README (docs/screens/), over the demo data
# make install [PREFIX=/opt/requestqx] [DESTDIR=…] — install for systemd and nginx (deploy/)
# make fuzz  — build the fuzz targets with clang and run each for FUZZ_SECONDS (default 60)
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PREFIX ?= /opt/requestqx
DESTDIR ?=
DEBUG_DIR := build/debug
RELEASE_DIR := build/release
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
STAGE_DIR := build/stage
SOAK_PEOPLE ?= 200
SOAK_MINUTES ?= 5

.PHONY: all setup debug release test stage install run bench soak screenshots fuzz clean

all: release

setup:
	@scripts/setup.sh

debug: setup
	@cmake -S . -B $(DEBUG_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(DEBUG_DIR) -j $(JOBS)

release: setup
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

test: debug stage
	@cd $(DEBUG_DIR) && ctest -j $(JOBS) --output-on-failure --timeout 600
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target RequestQX9-e2e
	@scripts/setup.sh --browser-tests
	@cd e2e && QX_STAGE=$(CURDIR)/$(STAGE_DIR) \
	  QX_TEST_LIBRARY=$(CURDIR)/$(RELEASE_DIR)/tests/browser/RequestQX9-e2e.so npm test

stage: release
	@scripts/stage.sh $(RELEASE_DIR) $(STAGE_DIR)

install: release
	@PREFIX="$(PREFIX)" DESTDIR="$(DESTDIR)" scripts/install.sh $(RELEASE_DIR)

# The demo user is one of requestqx-admin init-db --demo's (src/tools/DemoData.cpp).
run: stage
	@port=$$(sed -n 's/^TCPIPPort *= *//p' $(STAGE_DIR)/ZozarodUruzede.ini 2>/dev/null | tr -d '\r'); \
	  echo "QX Requests: open http://127.0.0.1:$${port:-8081}/ and sign in as \"Ana Torres\"" \
	       "with the password \"ana\" (Ctrl+C stops the service)."
	@cd $(STAGE_DIR) && exec ./requestqx-host --bind 127.0.0.1

bench: stage
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target render_bench grid_bench
	@bench/run.sh $(STAGE_DIR) $(RELEASE_DIR)/bench/render_bench $(RELEASE_DIR)/bench/grid_bench

soak: stage
	@SOAK_PEOPLE=$(SOAK_PEOPLE) SOAK_MINUTES=$(SOAK_MINUTES) bench/soak.sh $(STAGE_DIR)

screenshots: stage
	@scripts/setup.sh --browser-tests
	@QX_STAGE=$(CURDIR)/$(STAGE_DIR) node scripts/screenshots.js

fuzz:
	@scripts/setup.sh --fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Fuzz -DQX_FUZZ=ON \
	  -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fields_fuzz multipart_fuzz host_request_fuzz \
	  form_definition_fuzz smtp_reply_fuzz address_fuzz posted_values_fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh $(FUZZ_DIR)

clean:
	rm -rf build
