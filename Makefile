# Every target installs what is missing first (scripts/install-deps is quiet when all is there).
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
MAKEFLAGS  += --no-print-directory
# The prefix to work on: PREFIX=DIR, else what scripts/choose-prefix finds or makes.
CHOSEN_PREFIX = $(if $(PREFIX),"$(PREFIX)",$$(scripts/choose-prefix $(BUILD)))
FUZZ_SECONDS ?= 60
BENCH_FILES  ?= 100000

.PHONY: all deps build run test bench sanitize fuzz demo-prefix format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@echo "Building in $(BUILD) (log: $(BUILD)/build.log)"
	@cmake --build $(BUILD) -j $(JOBS) >$(BUILD)/build.log 2>&1 || { cat $(BUILD)/build.log; exit 1; }

# Until the window exists, Tidora's face is the command-line tool: an analysis of the prefix,
# which changes nothing.
run: build
	@$(BUILD)/src/app/tidora-cli analyze --prefix $(CHOSEN_PREFIX)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/tidora-bench-hive-load --prefix $(CHOSEN_PREFIX)
	@bench/clean_tree.sh $(BUILD) $(BENCH_FILES)

sanitize: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTIDORA_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	@cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

fuzz:
	@WITH_FUZZ=1 scripts/install-deps
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDORA_FUZZ=ON -DTIDORA_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target tidora-fuzz-hive tidora-fuzz-ini tidora-fuzz-trash_info tidora-fuzz-shell_link
	@for target in hive ini trash_info shell_link; do \
		mkdir -p $(FUZZ_BUILD)/corpus-$$target fuzz/corpus/$$target; \
		$(FUZZ_BUILD)/fuzz/tidora-fuzz-$$target -max_total_time=$(FUZZ_SECONDS) \
			$(FUZZ_BUILD)/corpus-$$target fuzz/corpus/$$target || exit 1; \
	done

demo-prefix: build
	@scripts/make-demo-prefix $(or $(DIR),$(BUILD)/demo-prefix)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
