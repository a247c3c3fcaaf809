# Warnings as errors everywhere; arithmetic exactly as written (no fused or
# reordered floating point), so the printed measures match to the last digit.
function(rill_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
      -Werror -ffp-contract=off -fno-fast-math)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # GCC 12 reports impossible overlaps inside std::string assignment.
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
  if(RILL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()
