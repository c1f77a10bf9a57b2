# The programs and services of the package.
#
# A program is an add_executable() target named as the command is, handed to
#   nimbrel_program(<target> "<what it does, for its manual page's NAME line>")
# which
#   - links nimbrel_version: "nimbrelversion.h" gives NIMBREL_VERSION and PrintVersion(), which
#     --version calls ("nimbrel-report 1.0.0");
#   - installs it under bin/;
#   - makes its manual page, share/man/man1/<target>.1.gz: the hand-written docs/man/<target>.1
#     where there is one, else help2man at build time from the program's --help and --version
#     (which must work without a display), with the sections of docs/man/<target>.h2m added
#     where that file exists;
#   - puts it on the list of programs the package is checked against (NIMBREL_PROGRAMS).
# A systemd unit (or unit template) joins with nimbrel_systemd_unit(<file>): installed under
# lib/systemd/system and put on the package's list (NIMBREL_SYSTEMD_UNITS).

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${CMAKE_BINARY_DIR}/include/nimbrel_version/nimbrelversion.h @ONLY)
add_library(nimbrel_version INTERFACE)
target_include_directories(nimbrel_version INTERFACE ${CMAKE_BINARY_DIR}/include/nimbrel_version)

find_program(NIMBREL_HELP2MAN help2man)
find_program(NIMBREL_GZIP gzip)
if(NOT NIMBREL_HELP2MAN OR NOT NIMBREL_GZIP)
  message(STATUS "help2man or gzip not found: the programs' manual pages are left out "
                 "(scripts/deps.sh test installs them)")
endif()

function(nimbrel_program target summary)
  target_link_libraries(${target} PRIVATE nimbrel_version)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set_property(GLOBAL APPEND PROPERTY NIMBREL_PROGRAMS ${target})

  if(NOT NIMBREL_GZIP)
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  set(written ${CMAKE_SOURCE_DIR}/docs/man/${target}.1)
  set(sections ${CMAKE_SOURCE_DIR}/docs/man/${target}.h2m)
  if(EXISTS ${written})
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${written} ${page}
      COMMAND ${NIMBREL_GZIP} -9nf ${page}
      DEPENDS ${written}
      VERBATIM)
  elseif(NIMBREL_HELP2MAN)
    set(include)
    set(depends ${target})
    if(EXISTS ${sections})
      set(include --include=${sections})
      list(APPEND depends ${sections})
    endif()
    # The sanitizer builds' leak check would fail a --help that Qt leaves a little behind.
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${NIMBREL_HELP2MAN} --no-info
              --section=1 --name=${summary} ${include} --output=${page} $<TARGET_FILE:${target}>
      COMMAND ${NIMBREL_GZIP} -9nf ${page}
      DEPENDS ${depends}
      COMMENT "Manual page of ${target}"
      VERBATIM)
  else()
    return()
  endif()
  add_custom_target(${target}-manual ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

function(nimbrel_systemd_unit file)
  install(FILES ${file} DESTINATION lib/systemd/system)
  get_filename_component(name ${file} NAME)
  set_property(GLOBAL APPEND PROPERTY NIMBREL_SYSTEMD_UNITS ${name})
endfunction()
