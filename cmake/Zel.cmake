# Shared helpers of the build.

# Warnings for our own code; system headers (Qt, libcurl, libjpeg) stay quiet.
function(zel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A static library from every .cpp in a folder (new files need no CMake edit).
function(zel_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(ARGN)
    list(FILTER _src EXCLUDE REGEX "${ARGN}")
  endif()
  if(NOT _src)
    set(_src ${PROJECT_BINARY_DIR}/zel_empty.cpp)
    file(WRITE ${_src} "// nothing here yet\n")
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  zel_warnings(${name})
endfunction()

# Every program carries the version record in its own ELF section, which the
# version functions of platform/os read back from any file.
set(ZEL_VERSION_RECORD ${PROJECT_BINARY_DIR}/zel_version_record.cpp)
configure_file(${PROJECT_SOURCE_DIR}/cmake/version_record.cpp.in ${ZEL_VERSION_RECORD} @ONLY)
function(zel_version_record target)
  target_sources(${target} PRIVATE ${ZEL_VERSION_RECORD})
endfunction()

# A GoogleTest program from every .cpp in a test folder, registered with CTest.
function(zel_test_program name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE ${ARGN} zel_test_support GTest::gtest GTest::gmock)
  zel_warnings(${name})
  zel_version_record(${name})
  target_compile_definitions(${name} PRIVATE
    ZEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ZEL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    ZEL_VERSION_TEXT="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${PROJECT_VERSION_TWEAK}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;http_proxy=;https_proxy=;HTTP_PROXY=;HTTPS_PROXY=;no_proxy=*")
endfunction()
