# One static library per subsystem folder, built from every source in it.
function(pellory_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(pellory_${name} STATIC ${sources})
  target_include_directories(pellory_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(pellory_${name} PUBLIC ${ARGN})
endfunction()
