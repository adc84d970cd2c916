# nlohmann/json, header-only (Debian nlohmann-json3-dev), seen through a
# build-tree folder holding only a link to its folder: a cross build must not
# see the host's whole /usr/include, and a native one needs no -I for it.
find_path(OXEL_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(OXEL_JSON_INCLUDE ${PROJECT_BINARY_DIR}/json_include)
file(MAKE_DIRECTORY ${OXEL_JSON_INCLUDE})
file(CREATE_LINK ${OXEL_NLOHMANN_DIR}/nlohmann ${OXEL_JSON_INCLUDE}/nlohmann SYMBOLIC)
find_package(Threads REQUIRED)
# A target that reads or writes JSON (and runs a thread beside the program).
function(oxel_use_json target)
  target_link_libraries(${target} PUBLIC Threads::Threads)
  target_include_directories(${target} SYSTEM PUBLIC ${OXEL_JSON_INCLUDE})
endfunction()
