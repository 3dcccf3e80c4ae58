# The LibreOffice UNO bridge: C++ headers for just the types we use, generated at build time
# from the office's type registries, and the UNO runtime libraries to link.
find_path(PELLORY_OFFICE_PROGRAM NAMES soffice types.rdb
          PATHS /usr/lib/libreoffice/program NO_DEFAULT_PATH REQUIRED)
find_path(PELLORY_OFFICE_SDK NAMES bin/cppumaker PATHS /usr/lib/libreoffice/sdk NO_DEFAULT_PATH
          REQUIRED)
foreach(lib uno_cppu uno_cppuhelpergcc3 uno_sal)
  find_library(PELLORY_LIB_${lib} NAMES lib${lib}.so.3 PATHS ${PELLORY_OFFICE_PROGRAM}
               NO_DEFAULT_PATH REQUIRED)
  list(APPEND PELLORY_UNO_LIBRARIES ${PELLORY_LIB_${lib}})
endforeach()

# pellory_uno_headers(target types...): generates headers for the types (and what they need)
# and lets target compile and link against UNO.
function(pellory_uno_headers target)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/unoheaders)
  list(JOIN ARGN ";" types)
  add_custom_command(
    OUTPUT ${out}/stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${out}
    COMMAND ${PELLORY_OFFICE_SDK}/bin/cppumaker -C -O${out} "-T${types}"
            ${PELLORY_OFFICE_PROGRAM}/types.rdb ${PELLORY_OFFICE_PROGRAM}/types/offapi.rdb
    COMMAND ${CMAKE_COMMAND} -E touch ${out}/stamp
    DEPENDS ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Generating UNO headers"
    VERBATIM)
  add_custom_target(${target}_unoheaders DEPENDS ${out}/stamp)
  add_dependencies(${target} ${target}_unoheaders)
  target_include_directories(${target} SYSTEM PRIVATE ${out} ${PELLORY_OFFICE_SDK}/include)
  target_compile_definitions(${target} PRIVATE LINUX UNX CPPU_ENV=gcc3
    PELLORY_OFFICE_PROGRAM="${PELLORY_OFFICE_PROGRAM}")
  target_link_libraries(${target} PRIVATE ${PELLORY_UNO_LIBRARIES})
  # The UNO libraries find their own companions in the office's program folder.
  target_link_options(${target} INTERFACE "LINKER:-rpath-link,${PELLORY_OFFICE_PROGRAM}"
                      "LINKER:-rpath,${PELLORY_OFFICE_PROGRAM}")
endfunction()
