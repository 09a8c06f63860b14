# Fails when a C++ file below the folders given after "--" includes a path with a ".." part or
# from "/". The compiler looks such a path up from the including file's folder or the root,
# through the links of a layer's include view to the folders it must not see, so the view would
# not stop it.
#
#   cmake -P layer_includes.cmake -- FOLDER...

set(folders)
set(reading OFF)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(reading)
    list(APPEND folders "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(reading ON)
  endif()
endforeach()
if(NOT folders)
  message(FATAL_ERROR "usage: cmake -P layer_includes.cmake -- FOLDER...")
endif()

set(found)
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY "${folder}")
    message(FATAL_ERROR "${folder}: no such folder")
  endif()
  file(GLOB_RECURSE files "${folder}/*.cpp" "${folder}/*.hpp" "${folder}/*.h")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*).*" "\\1" path "${line}")
      if(path MATCHES "(^|/)\\.\\.(/|$)" OR path MATCHES "^/")
        list(APPEND found "  ${file}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(found)
  list(JOIN found "\n" listing)
  message(FATAL_ERROR "Includes that reach past the layers' include views (name the header by "
                      "its folder, as the include path sees it):\n${listing}")
endif()
