# nlohmann/json, header-only (Debian nlohmann-json3-dev). A native build finds
# it among the system headers; a cross build sees only a build-tree folder
# that links to its one folder, not the rest of the build machine's headers.
set(OXEL_JSON_INCLUDE /usr/include CACHE PATH "The folder that holds nlohmann/json.hpp")
if(NOT EXISTS ${OXEL_JSON_INCLUDE}/nlohmann/json.hpp)
  message(FATAL_ERROR "nlohmann/json.hpp not found in ${OXEL_JSON_INCLUDE}: install nlohmann-json3-dev or set OXEL_JSON_INCLUDE")
endif()
find_package(Threads REQUIRED)
function(oxel_use_json target)
  target_link_libraries(${target} PUBLIC Threads::Threads)
  if(CMAKE_CROSSCOMPILING)
    set(folder ${CMAKE_BINARY_DIR}/json_include)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${OXEL_JSON_INCLUDE}/nlohmann ${folder}/nlohmann SYMBOLIC)
    target_include_directories(${target} SYSTEM PRIVATE ${folder})
  elseif(NOT OXEL_JSON_INCLUDE STREQUAL "/usr/include")
    target_include_directories(${target} SYSTEM PRIVATE ${OXEL_JSON_INCLUDE})
  endif()
endfunction()
