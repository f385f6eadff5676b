# Warnings and language level shared by every target of the project.
if(MSVC)
  set(VORLANE_WARNINGS /W4 /permissive-)
  if(VORLANE_WERROR)
    list(APPEND VORLANE_WARNINGS /WX)
  endif()
else()
  set(VORLANE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
      -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wcast-align -Wnull-dereference
      -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(VORLANE_WERROR)
    list(APPEND VORLANE_WARNINGS -Werror)
  endif()
endif()

# vorlane_target(<target>): C++20, the project's warnings, and sources read as UTF-8
# (the Chinese texts are wide literals).
function(vorlane_target target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE ${VORLANE_WARNINGS})
  if(MSVC)
    target_compile_options(${target} PRIVATE /utf-8)
  endif()
endfunction()

# vorlane_strict_fp(<target>): results must not depend on the compiler's mood:
# no fused multiply-add contraction, no fast-math, exact IEEE double.
function(vorlane_strict_fp target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /fp:precise)
  else()
    target_compile_options(${target} PRIVATE -ffp-contract=off -fno-fast-math)
  endif()
endfunction()
