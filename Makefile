# Set-up, build and test on a fresh Debian machine (as root: missing packages are installed).
BUILD ?= build
JOBS  ?= $(shell nproc)
# The project's own code is built with -Wall -Wextra -Wshadow -Wformat=2 -Werror
# (`make test STRICT=OFF` for a compiler that warns of more).
STRICT ?= ON
PKGS  = g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev libnetcdf-dev netcdf-bin zlib1g-dev pkg-config valgrind libproj-dev proj-bin python3 mandoc gmt-gshhg-low chromium

.PHONY: deps build run test sanitize fuzz tidy format-check strict clean

deps:
	@missing=""; for p in $(PKGS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRICT_WARNINGS=$(STRICT) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

# The main job on the bundled sample hour (share/20010600_sao.wmo; zyp.cfg at the top
# of the tree makes share/ the data and file path).
run: build
	./$(BUILD)/sfcparse -id all -pa dec 20010600

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B build-san -DSANITIZE=ON -DSTRICT_WARNINGS=$(STRICT) >/dev/null
	cmake --build build-san -j $(JOBS)
	cd build-san && ctest --output-on-failure -j $(JOBS)

fuzz: deps
	dpkg -s clang >/dev/null 2>&1 || apt-get install -y -qq clang
	CXX=clang++ cmake -S . -B build-fuzz -DFUZZ=ON -DBENCH=OFF -DSTRICT_WARNINGS=$(STRICT) >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

# clang-tidy with the checks of .clang-tidy over every source file of src/, through the
# compile database of the build directory; any finding fails (WarningsAsErrors).
tidy: deps
	dpkg -s clang-tidy >/dev/null 2>&1 || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-tidy; }
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRICT_WARNINGS=$(STRICT) >/dev/null
	run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) '$(CURDIR)/src/.*\.cpp$$'

# clang-format with the layout of .clang-format over every C++ file of src/, tests/,
# bench/, fuzz/ and tools/; any file it would change fails (tables laid out by hand sit
# between "// clang-format off" and "// clang-format on").
FORMAT_FILES = $(shell find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
format-check:
	dpkg -s clang-format >/dev/null 2>&1 || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-format; }
	@echo "clang-format --dry-run --Werror over $(words $(FORMAT_FILES)) files"
	@clang-format --dry-run --Werror $(FORMAT_FILES)

# The project's own code with -Wall -Wextra -Wshadow -Wformat=2 -Werror.
strict: deps
	cmake -S . -B build-strict -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRICT_WARNINGS=ON >/dev/null
	cmake --build build-strict -j $(JOBS) -- -k

clean:
	rm -rf $(BUILD) build-san build-fuzz build-strict
