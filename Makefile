# make run [PROGRAM=name]   install what is missing, build, start a program
# make test                 install what is missing, build, run every test
# make sanitize             the same tests built with ASan and UBSan (build-asan/)
# make bench                build and run the benchmarks
# make screenshots          remake the README pictures under docs/
# make web                  the four programs as web pages in build-web/pages/
# make web-serve            serve those pages on 127.0.0.1

PROGRAM ?= tetrachaos
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test sanitize bench screenshots web web-serve clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build build -j $(JOBS)

run:
	@scripts/run.sh $(PROGRAM)

test: build
	cd build && ctest --output-on-failure -j $(JOBS) --timeout 600

sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFRACTALS_SANITIZE=ON -DRULETRI_WINDOWS=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900 -LE benchmark

bench: build
	for b in build/bin/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true; done

screenshots: build
	scripts/screenshots.sh

web: deps
	@scripts/build-web.sh build-web

web-serve: web
	@scripts/web-serve.sh build-web/pages

clean:
	rm -rf build build-asan build-win build-web
