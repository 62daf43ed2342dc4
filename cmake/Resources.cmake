# Binds the files named in resources/resources.list into the program: every
# file becomes a byte array in a generated source, and one generated table
# finds them by kind and name. Each array is rebuilt when its file changes.

set(QUILLAMOR_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

function(quillamor_embed_resources list_file out_var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  get_filename_component(res_dir ${list_file} DIRECTORY)
  set(gen_dir ${CMAKE_BINARY_DIR}/resources)
  file(MAKE_DIRECTORY ${gen_dir})
  file(STRINGS ${list_file} lines)
  set(sources "")
  set(decls "")
  set(entries "")
  set(index 0)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    separate_arguments(fields UNIX_COMMAND "${line}")
    list(LENGTH fields n)
    if(NOT n EQUAL 3)
      message(FATAL_ERROR "resources.list: expected 'kind name path', got '${line}'")
    endif()
    list(GET fields 0 kind)
    list(GET fields 1 name)
    list(GET fields 2 path)
    set(symbol "quillamor_resource_${index}")
    set(out ${gen_dir}/${symbol}.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${res_dir}/${path} -DOUTPUT=${out} -DSYMBOL=${symbol}
              -P ${QUILLAMOR_EMBED_SCRIPT}
      DEPENDS ${res_dir}/${path} ${QUILLAMOR_EMBED_SCRIPT}
      COMMENT "Embedding ${path}"
      VERBATIM)
    list(APPEND sources ${out})
    string(APPEND decls "extern const unsigned char ${symbol}[];\nextern const unsigned long ${symbol}_size;\n")
    string(APPEND entries "    {\"${kind}\", \"${name}\", ${symbol}, &${symbol}_size},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  set(table ${gen_dir}/resource_table.cpp)
  file(CONFIGURE OUTPUT ${table} CONTENT
"// Generated from resources/resources.list; do not edit.
#include \"platform/resource_table.h\"

${decls}
namespace platform {
const ResourceEntry kResourceTable[] = {
${entries}};
const unsigned long kResourceCount = sizeof(kResourceTable) / sizeof(kResourceTable[0]);
}  // namespace platform
" @ONLY)
  list(APPEND sources ${table})
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
