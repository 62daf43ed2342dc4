# What every artifact of a release takes from this source, so that the
# version is written once (the project's) and its notes once (NEWS.md):
#   QUILLAMOR_RELEASE_DATE   the top NEWS.md entry's date, YYYY-MM-DD
#   QUILLAMOR_RELEASE_NOTES  its first paragraph, on one line, escaped for XML
#   QUILLAMOR_CHANGELOG      every entry as a Debian changelog, newest first
# And no build's own folder in what the compilers write, so that two clones
# at different paths build the same bytes.

add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")

file(READ ${CMAKE_SOURCE_DIR}/NEWS.md news)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/NEWS.md)
set(entry_pattern "\n## ([0-9.]+) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)\n\n([^\n]+(\n[^\n]+)*)")
string(REGEX MATCHALL "${entry_pattern}" entries "${news}")
if(NOT entries)
  message(FATAL_ERROR "NEWS.md has no entry \"## ${PROJECT_VERSION} (YYYY-MM-DD)\"")
endif()

# The day of the week a Debian changelog names (Zeller's congruence).
function(quillamor_weekday year month day out)
  if(month LESS 3)
    math(EXPR month "${month} + 12")
    math(EXPR year "${year} - 1")
  endif()
  math(EXPR k "${year} % 100")
  math(EXPR j "${year} / 100")
  math(EXPR h "(${day} + (13 * (${month} + 1)) / 5 + ${k} + ${k} / 4 + ${j} / 4 + 5 * ${j}) % 7")
  set(names Sat Sun Mon Tue Wed Thu Fri)
  list(GET names ${h} name)
  set(${out} ${name} PARENT_SCOPE)
endfunction()

set(QUILLAMOR_CHANGELOG "")
set(months "Jan;Feb;Mar;Apr;May;Jun;Jul;Aug;Sep;Oct;Nov;Dec")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "${entry_pattern}" _ "${entry}")
  set(version ${CMAKE_MATCH_1})
  set(year ${CMAKE_MATCH_2})
  set(month ${CMAKE_MATCH_3})
  set(day ${CMAKE_MATCH_4})
  set(notes "${CMAKE_MATCH_5}")
  if(NOT QUILLAMOR_CHANGELOG)
    if(NOT version STREQUAL PROJECT_VERSION)
      message(FATAL_ERROR "NEWS.md's newest entry is ${version}, the project is ${PROJECT_VERSION}: add its entry")
    endif()
    set(QUILLAMOR_RELEASE_DATE ${year}-${month}-${day})
    string(REPLACE "\n" " " QUILLAMOR_RELEASE_NOTES "${notes}")
    string(REPLACE "&" "&amp;" QUILLAMOR_RELEASE_NOTES "${QUILLAMOR_RELEASE_NOTES}")
    string(REPLACE "<" "&lt;" QUILLAMOR_RELEASE_NOTES "${QUILLAMOR_RELEASE_NOTES}")
  endif()
  quillamor_weekday(${year} ${month} ${day} weekday)
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  string(REPLACE "\n" "\n    " notes "${notes}")
  string(APPEND QUILLAMOR_CHANGELOG "quillamor2000 (${version}) unstable; urgency=medium\n\n  * ${notes}\n\n"
    " -- The Quillamor 2000 developers <developers@quillamor.org>  ${weekday}, ${day} ${month_name} ${year} 00:00:00 +0000\n\n")
endforeach()
string(REGEX REPLACE "\n\n$" "\n" QUILLAMOR_CHANGELOG "${QUILLAMOR_CHANGELOG}")
