# The generator's floating-point arithmetic is part of the container format:
# every build must round each operation to double, in the written order.
# -ffp-contract=off forbids fused multiply-add, SSE2 keeps doubles out of the
# 80-bit x87 registers, and fast-math stays off.
add_compile_options(
  -Wall -Wextra
  -ffp-contract=off -fno-fast-math -msse2 -mfpmath=sse
)

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  add_compile_definitions(_FILE_OFFSET_BITS=64)
endif()

# The fuzzers' build instruments the engine for libFuzzer and checks it as the
# sanitizer build does; a finding of undefined behaviour ends the run.
if(NB_FUZZ)
  add_compile_options(-g -O1 -fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined)
endif()

if(NB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
