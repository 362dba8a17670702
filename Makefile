# The builds are the presets of CMakePresets.json (cmake --list-presets).
# make run [PROGRAM=name]   install what the programs need, build that one alone (build-run/), start it
# make test                 install everything, build everything (build/), run every test
# make build                build everything into build/ (installs nothing)
# make sanitize             the same tests built with ASan and UBSan (build-asan/)
# make bench                build and run the benchmarks
# make screenshots          remake the README pictures under docs/
# make install [PREFIX=dir]  build and install under PREFIX (default /usr/local; DESTDIR works)
# make uninstall            remove what the last make install put there
# make dist                 the release tarball fractals-VERSION.tar.gz of the commit checked out
# make package              build the Debian package (and the Windows installer and zip) into build/, and their SHA256SUMS
# make web                  the four programs as web pages in build/web/pages/
# make web-serve            serve those pages on 127.0.0.1
# make reproducible         build the packages and pages twice, in two clones that differ in all that must not matter, and compare
# make test-release [RELEASE=trixie]  make test in a fresh minimal root of a Debian release (git, make and X only to start with)
#   [DEB=fractals_1.0.0_amd64.deb]    then that package installed there and the programs' e2e tests run against it
# make test-dist [RELEASE=trixie]     the packager's build of the make dist tarball in a fresh root: build packages only, no network

PROGRAM ?= tetrachaos
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX  ?= /usr/local
RELEASE ?= trixie
# The newest tarball make dist left.
DIST_TARBALL = $(firstword $(shell ls -t fractals-*.tar.gz 2>/dev/null))

.PHONY: all deps build run test sanitize bench screenshots install uninstall package dist web web-serve reproducible test-release test-dist clean

all: build

deps:
	@scripts/install-deps.sh

build:
	@cmake --preset native $(CMAKE_FLAGS)
	@cmake --build --preset native -j $(JOBS)

run:
	@scripts/run.sh $(PROGRAM)

test: deps
	@$(MAKE) --no-print-directory build
	ctest --preset native -j $(JOBS)

sanitize: deps
	@cmake --preset sanitizer $(CMAKE_FLAGS)
	@cmake --build --preset sanitizer -j $(JOBS)
	ctest --preset sanitizer -j $(JOBS)

bench: build
	for b in build/bin/*_bench; do echo "== $$b"; $$b --benchmark_counters_tabular=true; done

screenshots: build
	scripts/screenshots.sh

# The manifest is kept apart: every later install, the tests' staging one
# included, rewrites build/install_manifest.txt.
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"
	@cp build/install_manifest.txt build/installed_files.txt

uninstall:
	@test -f build/installed_files.txt || { echo "Nothing to uninstall: build/installed_files.txt is missing (make install writes it)."; exit 1; }
	xargs -d '\n' rm -fv < build/installed_files.txt
	@rm build/installed_files.txt

# Packed under umask 022, as dpkg-buildpackage packs: the modes of the .deb's
# own members come from it.
package: build
	umask 022 && cmake --build build --target package
	@scripts/package-sums.sh build

dist:
	@scripts/dist.sh

web: deps
	@scripts/build-web.sh build/web

web-serve: web
	@scripts/web-serve.sh build/web/pages

reproducible: deps
	@scripts/reproducible.sh

# A new user's machine: apt, git, make and a desktop's X server. CMAKE_FLAGS
# is passed on to make test there.
test-release:
ifeq ($(DEB),)
	scripts/release-root.sh --include git,make,xvfb,xauth --clone $(RELEASE) make test CMAKE_FLAGS="$(CMAKE_FLAGS)"
else
	scripts/release-root.sh --include git,make,xvfb,xauth --clone --copy "$(DEB)" $(RELEASE) \
	  bash -c 'make test CMAKE_FLAGS="$$1" && scripts/test-installed.sh "/src/$$2"' - "$(CMAKE_FLAGS)" "$(notdir $(DEB))"
endif

test-dist: dist
	scripts/release-root.sh --include "$$(scripts/install-deps.sh --list build | paste -sd,)" \
	  --copy "$(DIST_TARBALL)" --copy scripts/packager-build.sh --offline \
	  $(RELEASE) ./packager-build.sh "$(notdir $(DIST_TARBALL))"

clean:
	rm -rf build build-asan build-run build-reproducible build-release
