# Warning and sanitizer flags, carried by interface targets so they never leak to callers.
add_library(zy_warnings INTERFACE)
target_compile_options(zy_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast>
  $<$<BOOL:${ZY_WERROR}>:-Werror>)

if(ZY_SANITIZE)
  # Applied to everything built here, emulator and tests included, so that an error is
  # caught on whichever side of the runtime boundary it happens.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(ZY_TSAN)
  if(ZY_SANITIZE)
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with -DZY_SANITIZE=ON")
  endif()
  # Everything built here is instrumented, the emulator included: its lock is what keeps
  # concurrent calls of the product apart.
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(ZY_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang" OR NOT ZY_SANITIZE)
    message(FATAL_ERROR "The fuzz harnesses need clang and -DZY_SANITIZE=ON")
  endif()
  # libFuzzer is guided by the coverage of code built with its instrumentation, so the
  # product's and the emulator's code get it too, not only the harnesses. The callbacks it
  # calls come from the fuzzer runtime in the harness, or from the sanitizer runtime's
  # defaults in any other program of this build.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# With clang's sanitizers the runtime lives in the executable, not in the shared libraries.
set(ZY_CLANG_SANITIZERS OFF)
if((ZY_SANITIZE OR ZY_TSAN) AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(ZY_CLANG_SANITIZERS ON)
endif()

# Shared libraries are linked so that every symbol they use is resolved at link time, which
# cannot hold when the sanitizer runtime is left to the executable.
set(ZY_SHARED_NO_UNDEFINED -Wl,--no-undefined -Wl,-z,defs)
if(ZY_CLANG_SANITIZERS)
  set(ZY_SHARED_NO_UNDEFINED "")
endif()

# The shared libraries bind every symbol at load: when the runtime found at load lacks an entry
# point the library uses, the loader refuses the program and names the symbol, instead of the
# program ending at its first call of it. Relocated data is then made read-only.
set(ZY_SHARED_BIND_NOW -Wl,-z,now -Wl,-z,relro)

# A C program linked by clang with sanitizers gets only the C part of the UBSan runtime,
# while the libraries it loads are C++ and call into the C++ part; such a program is linked
# through the C++ driver instead. Its sources stay C.
function(zy_c_program target)
  if(ZY_CLANG_SANITIZERS)
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  endif()
endfunction()
