# Shared helpers for the subsystem libraries, tests, fuzzers and benchmarks.

set(CORVANE_SRC_ROOT ${PROJECT_SOURCE_DIR}/src)

# corvane_library(<name> DEPS <targets...>)
# Builds every .cpp of the calling folder (recursively, so a subsystem can
# keep sub-folders) into the static library corvane_<name>.
function(corvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER _srcs EXCLUDE REGEX "/main\\.cpp$")
  list(FILTER _srcs INCLUDE REGEX "\\.cpp$|\\.h$")
  set(_cpp ${_srcs})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(corvane_${name} STATIC ${_srcs})
    set(_scope PUBLIC)
  else()
    # Nothing compiled yet: an interface library keeps the dependency chain.
    add_library(corvane_${name} INTERFACE)
    set(_scope INTERFACE)
  endif()
  target_include_directories(corvane_${name} ${_scope} ${CORVANE_SRC_ROOT})
  target_link_libraries(corvane_${name} ${_scope} ${ARG_DEPS})
  target_compile_definitions(corvane_${name} ${_scope} QT_NO_KEYWORDS CORVANE_VERSION="${PROJECT_VERSION}")
endfunction()

# corvane_fuzzer(<name> SOURCE <file> LIBS <targets...> CORPUS <dir> LABEL <label>)
# The source defines LLVMFuzzerTestOneInput. A replay driver that feeds every
# corpus file is always built and run by ctest; with CORVANE_FUZZ a real
# libFuzzer binary is built as well.
function(corvane_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS;LABEL" "LIBS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/tests/fuzz_replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME ${name}_corpus COMMAND ${name}_replay ${ARG_CORPUS})
  set_tests_properties(${name}_corpus PROPERTIES LABELS ${ARG_LABEL}
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(CORVANE_FUZZ)
    add_executable(${name}_fuzz ${ARG_SOURCE})
    target_compile_options(${name}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name}_fuzz PRIVATE ${ARG_LIBS})
  endif()
endfunction()
