# The warnings our own sources are built with, and ZORVAN_WERROR to make them errors.
# Qt, GoogleTest and benchmark come in as system includes, so their headers do not count.
option(ZORVAN_WERROR "Treat compiler warnings as errors" OFF)

set(ZORVAN_WARNINGS
  -Wall -Wextra -Wpedantic
  -Wshadow
  -Wnon-virtual-dtor
  -Woverloaded-virtual
  -Wcast-qual
  -Wold-style-cast
  -Wimplicit-fallthrough
  -Wmissing-declarations
  -Wextra-semi
  -Wsuggest-override
  -Wzero-as-null-pointer-constant)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND ZORVAN_WARNINGS -Wduplicated-cond -Wlogical-op -Wuseless-cast)
endif()
if(ZORVAN_WERROR)
  list(APPEND ZORVAN_WARNINGS -Werror)
endif()
add_compile_options(${ZORVAN_WARNINGS})
