# The two commands of the README, plus the benchmarks. Each installs what is missing first.
JOBS ?= $(shell nproc)

.PHONY: run test bench bootstrap native windows clean

run: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target velquor velquor_demo_driver
	scripts/run-demo

test: native windows
	ctest --preset native -j $(JOBS)
	ctest --preset windows

bench: bootstrap
	scripts/run-bench

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
