# Every target installs what it needs first (scripts/bootstrap is cheap when
# everything is there), then builds with CMake and Ninja.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= 2
BUILD_TYPE ?= RelWithDebInfo
# ON: every compiler warning stops the build (CI builds this way).
WERROR     ?= OFF
# OFF: no embedded browser; the rest of the editor is built as usual.
WEBENGINE  ?= ON
DEMO       ?= examples/demo/demo.zpr

CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DTAKTON_WERROR=$(WERROR) \
  -DTAKTON_WEBENGINE=$(WEBENGINE)

.PHONY: all bootstrap configure build run test bench asan fuzz format check-format clean screenshot

all: build

bootstrap:
	@scripts/bootstrap

# Configured on every run, so that options given on the command line
# (make test WERROR=ON) always reach the build; cheap when nothing changed.
configure: bootstrap
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

# TARGETS: only these (all when empty).
build: configure
	cmake --build $(BUILD) -j $(JOBS) $(if $(TARGETS),--target $(TARGETS))

run: build
	$(BUILD)/bin/takton $(DEMO)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Pictures of the main window (before and after opening the demo project), of
# the project options window, the three master-data editors, the timetable
# editor and the network map, taken on a virtual X display.
screenshot: build
	mkdir -p $(BUILD)/screenshots
	xvfb-run -a -s "-screen 0 1280x1024x24" \
	  $(BUILD)/src/app/takton_screenshots $(BUILD)/screenshots $(DEMO)
	# The first page of each printed document, as takton-cli writes it.
	$(BUILD)/bin/takton-cli pdf timetable $(dir $(DEMO)) 1 1 Mo-Fr $(BUILD)/screenshots/print_timetable.pdf
	$(BUILD)/bin/takton-cli pdf station $(dir $(DEMO)) Marktplatz $(BUILD)/screenshots/print_poster.pdf
	$(BUILD)/bin/takton-cli graph $(dir $(DEMO)) 1 Mo-Fr $(BUILD)/screenshots/print_graph.pdf
	for doc in print_timetable print_poster print_graph; do \
	  pdftoppm -png -r 80 -singlefile -f 1 -l 1 $(BUILD)/screenshots/$$doc.pdf $(BUILD)/screenshots/$$doc || exit 1; \
	done

bench: build
	@for b in $(BUILD)/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done

# The core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAKTON_WERROR=$(WERROR) \
	  -DTAKTON_SANITIZE=ON -DTAKTON_BUILD_GUI=OFF -DTAKTON_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS (clang; not part of CI). A hang of
# more than 10 s on one input counts as a failure.
FUZZ_TARGETS = fuzz_html_table fuzz_lists fuzz_ini fuzz_station_csv fuzz_csv_reader \
  fuzz_print_layout fuzz_search fuzz_journal fuzz_ics
fuzz: bootstrap
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DTAKTON_FUZZ=ON -DTAKTON_BUILD_GUI=OFF -DTAKTON_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t && \
	  $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$t fuzz/seeds/$$t tests/data/html || exit 1; \
	done

format: bootstrap
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails on any file that clang-format would change.
check-format: bootstrap
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
