# The two commands of the README, plus the benchmarks and the fuzzer. Each installs what is missing
# first.
JOBS ?= $(shell nproc)
FUZZ_RUNS ?= 2000000
fuzz_build = build/fuzz

.PHONY: run test bench fuzz bootstrap native windows clean

run: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target velquor velquor_demo_driver
	scripts/run-demo

test: native windows
	ctest --preset native -j $(JOBS)
	ctest --preset windows

bench: bootstrap
	scripts/run-bench

# The readers of shell links, internet shortcuts and autorun.inf under libFuzzer, with ASan and
# UBSan, for FUZZ_RUNS inputs grown from a corpus of valid files; a finding is left in build/fuzz.
fuzz: bootstrap
	cmake -S . -B $(fuzz_build) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELQUOR_TESTS=OFF -DVELQUOR_SANITIZE=ON -DVELQUOR_FUZZ=ON >/dev/null
	cmake --build $(fuzz_build) -j $(JOBS) --target launch_files_fuzz launch_files_corpus
	rm -rf $(fuzz_build)/seeds $(fuzz_build)/corpus
	mkdir -p $(fuzz_build)/seeds $(fuzz_build)/corpus
	$(fuzz_build)/tests/fuzz/launch_files_corpus $(fuzz_build)/seeds
	$(fuzz_build)/tests/fuzz/launch_files_fuzz -runs=$(FUZZ_RUNS) -seed=1 -max_len=8192 -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(fuzz_build)/ $(fuzz_build)/corpus $(fuzz_build)/seeds

bootstrap:
	scripts/bootstrap

native: bootstrap
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

clean:
	rm -rf build
