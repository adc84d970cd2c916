# One static library per folder of src/, each able to include only its own
# headers and those of the layers below it.
#
# Every layer compiles against a folder of its own under the build tree that
# holds links to exactly the source folders it may see, so an include that
# reaches upward ("compiler/..." from the runtime, say) is a missing file and
# fails the build, not only a link.

set(OXEL_LAYER_ROOT ${CMAKE_BINARY_DIR}/layer_includes)

# oxel_layer(NAME BELOW lower layers, nearest first)
function(oxel_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "BELOW;EXCLUDE")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  foreach(excluded IN LISTS arg_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${excluded}$")
  endforeach()

  set(root ${OXEL_LAYER_ROOT}/${name})
  file(MAKE_DIRECTORY ${root})
  foreach(visible IN ITEMS ${name} ${arg_BELOW})
    if(CMAKE_HOST_WIN32)
      # A symbolic link needs privileges on Windows; a junction does not.
      if(NOT EXISTS ${root}/${visible})
        file(TO_NATIVE_PATH ${root}/${visible} junction)
        file(TO_NATIVE_PATH ${PROJECT_SOURCE_DIR}/src/${visible} target)
        execute_process(COMMAND cmd /c mklink /J "${junction}" "${target}" OUTPUT_QUIET RESULT_VARIABLE failed)
        if(failed)
          message(FATAL_ERROR "cannot link ${junction} to ${target}")
        endif()
      endif()
    else()
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${visible} ${root}/${visible} SYMBOLIC)
    endif()
  endforeach()

  add_library(oxel_${name} STATIC ${sources})
  target_include_directories(oxel_${name} PRIVATE ${root})
  foreach(lower IN LISTS arg_BELOW)
    target_link_libraries(oxel_${name} PUBLIC oxel_${lower})
  endforeach()
endfunction()
